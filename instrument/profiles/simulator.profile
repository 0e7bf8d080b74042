# The project's simulated meter (its90-meter-sim): the generic commands, and the furnace's
# set point sent at each point.
name = simulator
identify = *IDN?
select = ROUT:CLOS (@%1)
read = MEAS:VOLT:DC?
unit = V
error = SYST:ERR?
set_point = SOUR:TEMP %1
timeout_ms = 5000
