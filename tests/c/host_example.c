/* The README's host example: a C host runs preset 4 on a picture. The host's
 * own picture layer (host_pictures.cpp here) makes and frees the IplImages. */
#include <stdio.h>
#include "lumetra.h"

struct _IplImage* host_new_picture(int width, int height); /* filled mid-grey */
void host_free_picture(struct _IplImage* picture);

static struct _IplImage* LUMETRA_CALL load_picture(int kind, const char* name, void* user) {
    (void)kind; (void)name; (void)user;
    return NULL; /* a real host opens textures/NAME, vignettes/NAME or frames/NAME */
}

int main(void) {
    struct _IplImage* photo = host_new_picture(64, 48);
    struct _IplImage* result = host_new_picture(64, 48);
    EffectRegion whole = {0, 0, 0, 64, 48};
    fx(photo, result, 4, NULL, NULL, load_picture, &whole, NULL);
    host_free_picture(result);
    host_free_picture(photo);
    puts("fx ran");
    return 0;
}
