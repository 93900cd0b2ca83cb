@echo off
rem Fennick without SAP: the runs of "make demo", on Windows. The stand-ins
rem librfc32.dll and sapnwrfc.dll beside fennick.exe take the place of SAP's
rem RFC libraries and simulate the SAP systems described in sapsim.ini.
rem Run it from a command window in this folder. Each run rewrites
rem Fennick.Ini here, as the settings of a monitor's installation would be.
cd /d "%~dp0"

echo == fennick PRD  (single system, PRTG EXE/XML)
> Fennick.Ini echo Outputmode.: EXEXML
fennick PRD
echo == fennick PRD  (the same in Corvatel mode)
> Fennick.Ini echo Outputmode.: Corvatel
fennick PRD
echo == fennick PRD MEGABYTE  (Tessary mode, free space in MB)
> Fennick.Ini echo Outputmode.: Tessary
fennick PRD MEGABYTE
echo == fennick GLOBAL "PSAPSR3 #"  (group sensor with the console report)
> Fennick.Ini echo Outputmode.: EXEXML
fennick GLOBAL "PSAPSR3 #"
echo == fennick PRD MEGABYTE  (Tessary mode again, through the NetWeaver RFC library: the same lines)
> Fennick.Ini echo Outputmode.: Tessary
>> Fennick.Ini echo Rfclibrary.: netweaver
fennick PRD MEGABYTE
echo == fennick GLOBAL "HANGING #"  (limits and a 2 s time budget; the system HNG does not answer)
> Fennick.Ini echo Outputmode.: EXEXML
fennick GLOBAL "HANGING #"
echo == fennick PRD ",NAGIOS,WARN=25,ERROR=10"  (the plugin form for Nagios, Icinga, Naemon; the state is the exit code)
fennick PRD ",NAGIOS,WARN=25,ERROR=10"
echo (exit code %ERRORLEVEL%)
echo == fennick PRD ",NAGIOS,WARN=25,ERROR=10,AUTOEXTEND"  (the same against the autoextend maximum, where a tablespace has one)
fennick PRD ",NAGIOS,WARN=25,ERROR=10,AUTOEXTEND"
echo (exit code %ERRORLEVEL%)
echo == fennick GLOBAL PSAPSR3  (a group in the plugin form, chosen in Fennick.Ini)
> Fennick.Ini echo Outputmode.: Nagios
fennick GLOBAL PSAPSR3
echo (exit code %ERRORLEVEL%)
