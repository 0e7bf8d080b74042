# Keithley 2700/2701 with a 7700 multiplexer card: DC volts, one triggered reading per query.
name = keithley-2700
identify = *IDN?
setup = *CLS
setup = SENS:FUNC 'VOLT:DC'
setup = INIT:CONT OFF
select = ROUT:CLOS (@%1)
read = READ?
unit = V
error = SYST:ERR?
timeout_ms = 10000
