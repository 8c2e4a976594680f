# widl writes the time of its run into a type library, as MIDL does: the
# text "Created by WIDL version V at <ctime>" and then the same time as a
# 4-byte number (VT_UI4, 0x13). Both become 1 January 1970, so that every
# build of the same sources gives the same bytes. Run with perl -0777 -p -i.
s/(Created by WIDL version [0-9.]+ at )[^\n]{24}(\nW*\x13\x00)[\s\S]{4}/$1Thu Jan  1 00:00:00 1970$2\x00\x00\x00\x00/
  or die "no time of the WIDL run found in the type library\n";
