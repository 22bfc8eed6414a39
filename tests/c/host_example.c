#include <stdio.h>
#include "lumetra.h"

/* The host's own picture layer (OpenCV needs C++, so it sits behind C calls). */
struct _IplImage* host_new_picture(int width, int height);
void host_free_picture(struct _IplImage* picture);

static struct _IplImage* LUMETRA_CALL load_picture(int kind, const char* name, void* user) {
    (void)kind; (void)name; (void)user;
    return NULL; /* a real host opens textures/NAME, vignettes/NAME or frames/NAME */
}

int main(void) {
    struct _IplImage* photo = host_new_picture(640, 480);
    struct _IplImage* result = host_new_picture(640, 480);
    fx(photo, result, 4, NULL, NULL, load_picture, NULL, NULL);         /* "@ lomo 5" */
    fx(result, result, -1, "round.png", "2,0.05,wood", load_picture, NULL, NULL);
    host_free_picture(result);
    host_free_picture(photo);
    puts("done");
    return 0;
}
