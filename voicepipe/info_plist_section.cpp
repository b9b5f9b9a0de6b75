// Embeds the information property list in the ELF executable as the section .info_plist, the
// Linux counterpart of the Mach-O section __TEXT,__info_plist, so the permission prompt texts can
// be read from the file itself. The build passes the file's path as VOICEPIPE_INFO_PLIST.
__asm__(
    ".pushsection .info_plist, \"a\", @progbits\n"
    ".incbin \"" VOICEPIPE_INFO_PLIST
    "\"\n"
    ".popsection\n");
