/* blink.c: the sample program in C for the 89C2051. It toggles pin P1.0 with a delay
 * loop, so a LED on P1.0 blinks.
 *
 * sdcc -mmcs51 --code-size 2048 blink.c gives blink.ihx (Intel HEX); see the README
 * ("From your program to the chip") for the raw image that the panel sends. */
#include <8051.h>

static void delay(void) {
    unsigned char outer;
    unsigned char inner;
    for (outer = 200; outer != 0; --outer)
        for (inner = 250; inner != 0; --inner)
            ;
}

void main(void) {
    for (;;) {
        P1_0 = !P1_0;
        delay();
    }
}
