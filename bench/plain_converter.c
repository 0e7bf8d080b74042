/* The plainest converter a C programmer writes: strtod per line, printf("%.15g"), no
   conversion at all. The measure its90's batch path is held to. */
#include <stdio.h>
#include <stdlib.h>

int main(void) {
    char line[256];
    while (fgets(line, sizeof line, stdin)) printf("%.15g\n", strtod(line, NULL));
    return 0;
}
