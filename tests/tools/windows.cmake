# calsvar.exe end to end under Wine (being written).
