// More sections than a plain object can count, so the assembler writes a big
// object; the debug DLL runtime's directives follow them.
.altmacro
.macro piece n
.section .t\n,"xr"
.byte 0
.endm
i = 0
.rept 65300
piece %i
i = i + 1
.endr
.section .drectve,"yn"
.ascii " /DEFAULTLIB:msvcrtd.lib /FAILIFMISMATCH:\"RuntimeLibrary=MDd_DynamicDebug\""
.globl "@comp.id"
.set "@comp.id", COMP_ID
