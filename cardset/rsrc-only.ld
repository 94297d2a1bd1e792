/* Keeps only the resource section: "cardset.dll" has no code, no imports and
   no relocations, just the resource directory and the data it points to. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .rsrc __image_base__ + __section_alignment__ : { *(.rsrc) *(SORT(.rsrc$*)) }
  /DISCARD/ : { *(*) }
}
