#include "rfc/classic/logon.h"

#include <climits>
#include <cstdio>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text_decoding.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const char kLibraryParameterFile[] = "SapRfc.ini";

std::string Padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// The library takes an absent text, not an empty one, for unset options.
char* TextOrAbsent(std::string& text) { return text.empty() ? nullptr : &text[0]; }

// The library splits the connect string at blanks; a value holding one
// goes in double quotes.
std::string ConnectValue(const std::string& value) {
  return value.find_first_of(" \t") == std::string::npos ? value : "\"" + value + "\"";
}

// The library reads its parameter file as plain narrow text: a mark or
// UTF-16 written by an editor is decoded here, anything else copied as is.
bool CopyDecodedText(std::FILE* from, std::FILE* to) {
  TextDecoder decoder(PlatformNarrowText());
  char buffer[8192];
  std::string text;
  for (bool atEnd = false; !atEnd;) {
    size_t n = std::fread(buffer, 1, sizeof buffer, from);
    atEnd = n == 0;
    text.clear();
    if (atEnd) {
      decoder.Finish(text);
    } else {
      decoder.Feed(buffer, n, text);
    }
    if (std::fwrite(text.data(), 1, text.size(), to) != text.size()) return false;
  }
  return !std::ferror(from) && std::fflush(to) == 0;
}

void FillLogonRecords(LogonRecords& l) {
  l.paddedUser = Padded(l.user, 12);
  l.paddedPassword = Padded(l.password, 10);
  l.options.destination = &l.destination[0];
  l.options.client = &l.client[0];
  l.options.user = &l.paddedUser[0];
  l.options.password = &l.paddedPassword[0];
  l.options.language = &l.language[0];
  l.options.trace = 0;
  if (l.mode == "R/2") {
    l.options.mode = RFC_LOGON_GATEWAY;
    l.gateway.gateway_host = TextOrAbsent(l.gwhost);
    l.gateway.gateway_service = TextOrAbsent(l.gwservice);
    l.options.connopt = &l.gateway;
  } else {
    l.options.mode = RFC_LOGON_HOST;
    l.host.hostname = TextOrAbsent(l.hostname);
    // Without a system number the record keeps the one of the last logon.
    if (!l.sysnr.empty()) {
      int64_t number = LeadingInteger(l.sysnr);
      l.host.sysnr = static_cast<int>(number < INT_MIN ? INT_MIN : number > INT_MAX ? INT_MAX : number);
    }
    l.host.gateway_host = TextOrAbsent(l.gwhost);
    l.host.gateway_service = TextOrAbsent(l.gwservice);
    l.options.connopt = &l.host;
  }
}

}  // namespace

RFC_HANDLE OpenConnection(ClassicState& state, const LogonRequest& request, RfcWork& work) {
  LogonRecords& l = state.logon;
  const SystemEntry& e = request.entry;
  l.destination = e.destination;
  l.client = e.client;
  l.user = e.user;
  l.password = e.password;
  l.language = e.language;
  l.mode = e.mode;
  l.hostname = e.hostname;
  l.sysnr = e.sysnr;
  l.gwhost = e.gwhost;
  l.gwservice = e.gwservice;
  if (request.hostOverride) l.hostname = *request.hostOverride;
  if (request.sysnrOverride) l.sysnr = *request.sysnrOverride;
  FillLogonRecords(l);

  FilePtr parameters = OpenParameterFile(request);
  if (!parameters) {
    RFC_HANDLE handle = state.library.RfcOpen(&l.options);
    NoteStep(work, handle != 0, "RfcOpen called", "");
    return handle;
  }
  // Only on the console: in front of a sensor document it would spoil it.
  if (request.consoleReport) NoteConsoleLine(work, "* SapRfc.Ini.......: " + l.destination + "<\n");
  FilePtr copy = OpenForWrite(state.filesDirectory + kLibraryParameterFile);
  if (!copy) return 0;
  bool copied = CopyDecodedText(parameters.get(), copy.get());
  parameters.reset();
  copy.reset();
  if (!copied) return 0;
  state.parameterCopyWritten = true;

  // TOUPPER=0: the library would otherwise upper-case the password, and
  // passwords have been case-sensitive since NetWeaver 7.0.
  l.connectString = "CLIENT=" + ConnectValue(l.client) + " USER=" + ConnectValue(l.user) +
                    " PASSWD=" + ConnectValue(l.password) + " LANG=D DEST=" + ConnectValue(l.destination) +
                    " TOUPPER=0";
  // The library looks for saprfc.ini, which a case-sensitive file system
  // does not give for our copy; RFC_INI names it on every platform.
  const std::string directory = state.filesDirectory.empty() ? WorkingDirectory() : state.filesDirectory;
  SetEnvironmentValue("RFC_INI", directory + kLibraryParameterFile);
  l.errorEx = RfcErrorInfoEx();
  RFC_HANDLE handle = state.library.RfcOpenEx(&l.connectString[0], &l.errorEx);
  NoteStep(work, handle != 0, "RfcOpenEx called", "");
  return handle;
}

}  // namespace fennick
