// PRTG's EXE/XML document as the EXEXML form and the host-product forms
// Lumenox and Quimbel write it; only the forms' own files use this.
#pragma once

#include "output/form_parts.h"

namespace fennick {

void BeginXmlDocument(ResultWriter& w);
void BeginXmlText(ResultWriter& w);
void AppendXmlText(ResultWriter& w, const std::string& text);
void EndXmlText(ResultWriter& w);
void EndXmlDocument(ResultWriter& w);
void HostChannel(ResultWriter& w, const ChannelOut& channel);
void XmlError(ResultWriter& w, const RunFailure& failure);
void XmlErrorEnd(ResultWriter& w, const RunFailure& failure);
void XmlHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen);

// A host product's form: the document without limits, no states.
constexpr OutputForm HostXmlForm(const char* name) {
  return OutputForm{
      name,
      false,
      0,
      true,
      false,
      0,
      BeginXmlDocument,
      BeginXmlText,
      AppendXmlText,
      EndXmlText,
      HostChannel,
      EndXmlDocument,
      BeginFramedGroup,
      NoSystemState,
      WriteFramedSummary,
      XmlError,
      XmlErrorEnd,
      XmlHandlerReport,
      RunsExitCode,
  };
}

}  // namespace fennick
