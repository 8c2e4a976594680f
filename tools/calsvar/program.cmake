# calsvar.exe (being written).
