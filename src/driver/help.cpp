#include "driver/help.h"

#include "driver/run_end.h"
#include "driver/version.h"
#include "output/print.h"

namespace fennick {

namespace {

const char kUsage[] =
    "Usage: fennick PROFILE [PARAMETERS...] [-w N] [-c N] [-t N] [-o FILE]\n"
    "       fennick --help | --version\n"
    "\n"
    "Measures the free space of the Oracle tablespaces of SAP systems for a\n"
    "network monitor. PROFILE is a profile file (PRD reads PRD.P00); GLOBAL\n"
    "measures a group of systems listed in \"SAP Vireo.Gbl\".\n"
    "\n"
    "Keywords in PARAMETERS, in any case:\n"
    "  ITEM=name     one tablespace on the systems listed in Vireo.Prf\n"
    "  # @ $ %       console report besides the result (@: profile path as given)\n"
    "  ,SYSLOG       trace of the RFC steps in Fennick.Log\n"
    "  ,HOST=name    log on to this application server\n"
    "  ,NO=nn        log on with this system number\n"
    "  MEGABYTE      free space in MB instead of percent\n"
    "  GIGABYTE      free space in GB\n"
    "  CH=n          Tessary mode: only the value of the n-th channel\n"
    "  ,WARN=n       warning limit of every channel\n"
    "  ,ERROR=n      error limit of every channel\n"
    "  ,TIMEOUT=n    time budget of the run in seconds (1-3600)\n"
    "  ,PARALLEL=n   systems of a group measured at once (1-64, default 8)\n"
    "  ,EXCLUDE=A:B  tablespaces left out of the channels\n"
    "  ,AUTOEXTEND   free space against the autoextend maximum\n"
    "  ,DAYSLEFT     days until each tablespace is full, from the run's history\n"
    "  ,NAGIOS       the monitoring-plugin form of the output\n"
    "  ,ZABBIX       one JSON document for a Zabbix agent\n"
    "  ,PROMETHEUS   Prometheus' text format, for node_exporter's textfile folder\n"
    "  ,CHECKMK      Checkmk's local-check lines\n"
    "\n"
    "Keywords that start with a comma may be written without it after a blank;\n"
    "a word written like a keyword that is none is an error.\n"
    "Every argument after the profile counts, joined by one blank.\n"
    "\n"
    "Options, as monitoring plugins take them:\n"
    "  -w N, --warning=N    the same as ,WARN=N (also -wN, --warning N)\n"
    "  -c N, --critical=N   the same as ,ERROR=N\n"
    "  -t N, --timeout=N    the same as ,TIMEOUT=N\n"
    "  -o FILE, --output=FILE  the result written whole into FILE\n"
    "  -V, --version        the version\n"
    "\n"
    "Output modes, chosen in Fennick.Ini with \"Outputmode.: MODE\":\n"
    "  EXEXML (the default), Lumenox, Corvatel, Tessary, Quimbel, Nagios,\n"
    "  Zabbix, Prometheus, Checkmk\n"
    "\n"
    "Passwords for profiles come from fennick-passwd.\n"
    "Manual: man fennick; /usr/share/doc/fennick/docs/ (docs\\ of the Windows zip).\n";

}  // namespace

bool IsHelpRequest(const std::string& argument) { return argument == "--help" || argument == "-h" || argument == "/?"; }

bool AsksForHelp(const std::vector<std::string>& args) { return args.size() > 1 && IsHelpRequest(args[1]); }

bool AsksForVersion(const std::vector<std::string>& args) {
  return args.size() > 1 && (args[1] == "-V" || args[1] == "--version");
}

int PrintVersion() {
  PrintText(std::string(kProgramName) + " " + kPackageVersion + " (" + kVersion + ")\n");
  return kExitSuccess;
}

int PrintHelp() {
  PrintText(std::string(kUsage) + "\nSAP " + kProgramName + " " + kVersion + "\n");
  return kExitSuccess;
}

}  // namespace fennick
