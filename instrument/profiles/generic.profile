# Any SCPI voltmeter with a scanner: close the channel, measure DC volts.
name = generic
identify = *IDN?
select = ROUT:CLOS (@%1)
read = MEAS:VOLT:DC?
unit = V
error = SYST:ERR?
timeout_ms = 5000
