#include "cli/contact_sheet.h"

#include <opencv2/core/core_c.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <string>

#include "engine/catalogue.h"

namespace cli {

namespace {

const cv::Scalar kBackground(34, 30, 28);
const cv::Scalar kIndexInk(255, 255, 255);
const cv::Scalar kScriptInk(200, 205, 210);
const cv::Scalar kUnchangedInk(80, 150, 235);  // orange: the preset left the picture as it was
constexpr int kFont = cv::FONT_HERSHEY_SIMPLEX;
constexpr double kIndexScale = 0.5, kScriptScale = 0.38, kTitleScale = 0.8;
constexpr int kLineHeight = 14;
constexpr int kScriptLines = 3;
constexpr int kGap = 12;
constexpr int kLabelHeight = kLineHeight * (1 + kScriptLines) + 6;

int textWidth(const std::string& text, double scale) {
    int baseline = 0;
    return cv::getTextSize(text, kFont, scale, 1, &baseline).width;
}

// Splits the script into at most kScriptLines lines of `width` pixels at
// blanks; what does not fit ends in "...".
std::vector<std::string> wrapScript(const std::string& script, int width) {
    std::vector<std::string> lines(1);
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find(' ', start);
        if (end == std::string::npos) end = script.size();
        const std::string word = script.substr(start, end - start);
        const std::string joined = lines.back().empty() ? word : lines.back() + " " + word;
        if (textWidth(joined, kScriptScale) <= width || lines.back().empty()) {
            lines.back() = joined;
        } else if (lines.size() < static_cast<size_t>(kScriptLines)) {
            lines.push_back(word);
        } else {
            std::string& last = lines.back();
            while (!last.empty() && textWidth(last + "...", kScriptScale) > width) last.pop_back();
            last += "...";
            break;
        }
        start = end + 1;
    }
    return lines;
}

void drawText(cv::Mat& sheet, const std::string& text, cv::Point at, double scale, cv::Scalar ink) {
    cv::putText(sheet, text, at, kFont, scale, ink, 1, cv::LINE_AA);
}

void drawLabel(cv::Mat& sheet, cv::Rect label, int index, const char* script, bool changed) {
    const cv::Point origin = label.tl() + cv::Point(0, kLineHeight);
    const std::string number = cv::format("#%d", index);
    drawText(sheet, number, origin, kIndexScale, kIndexInk);
    if (!changed)
        drawText(sheet, "unchanged", origin + cv::Point(textWidth(number, kIndexScale) + 8, 0), kScriptScale,
                 kUnchangedInk);
    const std::vector<std::string> lines = wrapScript(script, label.width);
    for (size_t i = 0; i < lines.size(); ++i)
        drawText(sheet, lines[i], origin + cv::Point(0, kLineHeight * static_cast<int>(i + 1)), kScriptScale,
                 kScriptInk);
}

cv::Mat thumbnailOf(const cv::Mat& photo, int side) {
    const double scale = std::min(1.0, static_cast<double>(side) / std::max(photo.cols, photo.rows));
    if (scale >= 1.0) return photo.clone();
    cv::Mat thumbnail;
    const cv::Size size(std::max(1, cvRound(photo.cols * scale)), std::max(1, cvRound(photo.rows * scale)));
    cv::resize(photo, thumbnail, size, 0, 0, cv::INTER_AREA);
    return thumbnail;
}

// The thumbnail through one preset, with the pack's pictures.
cv::Mat runPreset(const cv::Mat& thumbnail, int index, AssetFolder& assets) {
    cv::Mat source = thumbnail.clone();
    cv::Mat result = thumbnail.clone();
    IplImage src = cvIplImage(source);
    IplImage dst = cvIplImage(result);
    fx(&src, &dst, index, nullptr, nullptr, loadAsset, nullptr, &assets);
    return result;
}

}  // namespace

ContactSheet drawContactSheet(const cv::Mat& photo, AssetFolder& assets, const SheetOptions& options,
                              const SheetProgress& progress) {
    const cv::Mat thumbnail = thumbnailOf(photo, options.thumbnailSide);
    const int count = lumetra::kPresetCount;
    const int columns = std::clamp(options.columns, 1, count);
    const int rows = (count + columns - 1) / columns;
    // Cells never get narrower than a readable label.
    const int cellWidth = std::max(thumbnail.cols, 150);
    const cv::Size cell(cellWidth, thumbnail.rows + kLabelHeight);
    const int headerHeight = cell.height + kGap;
    const cv::Size size(kGap + columns * (cell.width + kGap), kGap + headerHeight + rows * (cell.height + kGap));

    ContactSheet sheet;
    sheet.picture = cv::Mat(size, CV_8UC3, kBackground);
    sheet.original = cv::Rect(cv::Point(kGap, kGap), thumbnail.size());
    thumbnail.copyTo(sheet.picture(sheet.original));
    drawText(sheet.picture, "original", cv::Point(kGap, kGap + thumbnail.rows + kLineHeight), kIndexScale, kIndexInk);
    const cv::Point titleAt(kGap + cell.width + 2 * kGap, kGap + 2 * kLineHeight);
    drawText(sheet.picture, options.title, titleAt, kTitleScale, kIndexInk);
    drawText(sheet.picture, "every preset, 0 to 152, by index and script; \"unchanged\" marks a preset that left the "
             "picture as it was", titleAt + cv::Point(0, 2 * kLineHeight), kScriptScale + 0.05, kScriptInk);

    for (int index = 0; index < count; ++index) {
        const cv::Point corner(kGap + (index % columns) * (cell.width + kGap),
                               kGap + headerHeight + (index / columns) * (cell.height + kGap));
        const cv::Rect cellRect(corner, cell);
        const cv::Rect label(corner + cv::Point(0, thumbnail.rows + 2), cv::Size(cell.width, kLabelHeight - 2));
        const cv::Mat result = runPreset(thumbnail, index, assets);
        const bool changed = cv::norm(result, thumbnail, cv::NORM_INF) > 0;
        result.copyTo(sheet.picture(cv::Rect(corner, thumbnail.size())));
        drawLabel(sheet.picture, label, index, lumetra::presetScript(index), changed);
        sheet.cells.push_back(cellRect);
        sheet.labels.push_back(label);
        sheet.changed.push_back(changed);
        if (progress) progress(index + 1, count);
    }
    return sheet;
}

}  // namespace cli
