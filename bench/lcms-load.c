/* The LittleCMS side of bench/compare-lcms.sh: loads a CGATS file the way an IT8 reader does
 * (cmsIT8LoadFromFile), checks it holds the rows, and frees it. Exit status 1 when the load fails. */
#include <lcms2.h>

#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: lcms-load FILE\n");
        return 2;
    }
    cmsHANDLE it8 = cmsIT8LoadFromFile(NULL, argv[1]);
    if (!it8) {
        fprintf(stderr, "lcms-load: cannot load %s\n", argv[1]);
        return 1;
    }
    printf("patches %d\n", (int)cmsIT8GetPropertyDbl(it8, "NUMBER_OF_SETS"));
    cmsIT8Free(it8);
    return 0;
}
