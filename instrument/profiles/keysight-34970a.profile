# Keysight (Agilent) 34970A/34972A data acquisition unit with a 34901A multiplexer: the
# channel is named in the measurement itself (channels 101 ... 120).
name = keysight-34970a
identify = *IDN?
setup = *CLS
select =
read = MEAS:VOLT:DC? AUTO,DEF,(@%1)
unit = V
error = SYST:ERR?
timeout_ms = 10000
