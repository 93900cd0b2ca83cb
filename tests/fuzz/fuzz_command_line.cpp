// The command line: arguments into run switches, then the result writer in
// every output mode, since the parameters choose CH= and the unit keywords.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/run_state.h"
#include "driver/start_up.h"
#include "fuzz_input.h"
#include "output/result_writer.h"

namespace {

const char* const kModes[] = {"EXEXML", "Corvatel", "Tessary", "Quimbel", "x"};

bool IsXmlMode(const std::string& mode) { return mode == "EXEXML" || mode == "Quimbel"; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The monitor parses the document: every tag closes in order, and no text
// from outside can open a tag or an entity of its own.
void CheckMarkup(const std::string& document) {
  std::vector<std::string> open;
  for (size_t i = 0; i < document.size(); ++i) {
    char c = document[i];
    if (c == '&') {
      bool entity = document.compare(i, 5, "&amp;") == 0 || document.compare(i, 4, "&lt;") == 0 ||
                    document.compare(i, 4, "&gt;") == 0;
      fuzz::Check(entity, "bare ampersand in XML document", document);
    } else if (c == '>') {
      fuzz::Fail("bare '>' in XML document", document);
    } else if (c == '<') {
      size_t j = i + 1;
      bool closing = j < document.size() && document[j] == '/';
      if (closing) ++j;
      size_t nameStart = j;
      while (j < document.size() && IsLetter(document[j])) ++j;
      fuzz::Check(j > nameStart && j < document.size() && document[j] == '>', "malformed tag", document);
      std::string name = document.substr(nameStart, j - nameStart);
      if (closing) {
        fuzz::Check(!open.empty() && open.back() == name, "unbalanced closing tag", document);
        open.pop_back();
      } else {
        open.push_back(name);
      }
      i = j;
    }
  }
  fuzz::Check(open.empty(), "unclosed tag", document);
}

void WriteDocument(const fennick::RunParameters& run, const std::string& mode) {
  fennick::ResultWriter w;
  const fennick::OutputForm* form = fennick::FindOutputForm(mode);
  w.form = form ? form : &fennick::UnlistedOutputForm();
  fennick::RunSwitches switches;
  fennick::ReadKeywords(run.parameterString, run.parameterText, fennick::kCommandLine, switches);
  fennick::ApplyWriterSwitches(switches, w);
  fennick::BeginDocument(w);
  fennick::BeginText(w);
  fennick::AppendText(w, "(" + run.profileName + ") ");
  fennick::AppendText(w, run.parameterText);
  fennick::EndText(w);

  // More channels than Corvatel takes, with names and units from the input.
  const std::string names[] = {run.itemName, run.profileName, run.profileDirectory, run.secondArgument};
  const std::string units[] = {"PerCent", "MByte", "GByte", "%", "", run.itemName};
  for (int i = 0; i < 12; ++i) {
    const std::string value = i % 4 == 3 ? run.parameterText : std::to_string(i * 7 - 20);
    fennick::WriteChannel(w, names[i % 4], value, units[i % 6]);
  }
  fennick::EndDocument(w);
  if (IsXmlMode(mode)) CheckMarkup(w.messageBuffer);

  fennick::WriteErrorDocument(
      w, fennick::NumberedFailure(1002, "Profile " + run.profileDirectory + run.profileName + " is missing..."));
  CheckMarkup(w.messageBuffer);
  // An error text may be the buffer's own.
  fennick::WriteErrorDocument(w, fennick::RunFailure{w.messageBuffer});
  CheckMarkup(w.messageBuffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Arguments cannot hold a NUL byte: it separates them here.
  std::vector<std::string> args{"fennick"};
  const std::string input = fuzz::Text(data, size);
  size_t start = 0;
  while (args.size() < 5) {
    size_t nul = input.find('\0', start);
    args.push_back(input.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
    if (nul == std::string::npos) break;
    start = nul + 1;
  }

  fennick::RunState rs;
  fennick::ReadArguments(rs, args);
  fuzz::Check(rs.run.parameterString.size() == rs.run.parameterText.size(),
              "keyword positions in the parameters no longer match their values", rs.run.parameterText);
  fuzz::Check(rs.run.itemName.size() <= 90, "item name over 90 characters", rs.run.itemName);

  for (const char* mode : kModes) WriteDocument(rs.run, mode);
  return 0;
}
