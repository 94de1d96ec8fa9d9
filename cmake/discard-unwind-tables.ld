/* Added to GNU ld's default script for Vostrel.dll: drops the DWARF unwind tables. The DLL is
   linked without the start-up code that would register them and never throws, so no code reads
   them. */
SECTIONS
{
  /DISCARD/ : { *(.eh_frame*) }
}
INSERT BEFORE .text;
