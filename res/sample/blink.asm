; blink.asm: the sample program for the 89C2051. It toggles pin P1.0 about every 0.13 s
; with a 12 MHz crystal, so a LED on P1.0 blinks.
;
; as31 -l blink.asm gives blink.hex (Intel HEX) and the listing blink.lst; see the
; README ("From your program to the chip") for the raw image that the panel sends.
;
; Time between two toggles, in machine cycles (12 clock periods, 1 us at 12 MHz):
;   cpl 1 + lcall 2 + sjmp 2 + (delay: mov r7 1 + OUTER * (mov r6 1 + INNER * djnz 2
;   + djnz 2) + ret 2) = 8 + OUTER * (3 + 2 * INNER)
; The build computes the expected time from OUTER and INNER with this formula, and the
; run check in the 8051 simulator holds the pin's edges against it.

        .equ    OUTER, 250
        .equ    INNER, 249

        .org    0x0000
        ljmp    start           ; reset vector

        .org    0x0030          ; past the interrupt vectors, left erased
start:  mov     sp, #0x30       ; the stack above the register banks
loop:   cpl     P1.0            ; toggle the LED
        lcall   delay
        sjmp    loop

delay:  mov     r7, #OUTER
d1:     mov     r6, #INNER
d2:     djnz    r6, d2
        djnz    r7, d1
        ret
