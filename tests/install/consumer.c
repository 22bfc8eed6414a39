/* A C host built through pkg-config against an installed Lumetra. */
#include <stdio.h>
#include "lumetra.h"

int main(void) {
    ColorMap* map = ptNewColorMap();
    if (!map) return 1;
    ptBrightnessSP(map, 20);
    ptDeleteColorMap(map);
    puts("pkg-config consumer: ok");
    return 0;
}
