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
void XmlHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen, const std::string& system);

// "RFC error: KEY - message", and in a group " (" + the system + ")".
std::string XmlHandlerText(const HandlerReport& report, const std::string& system);

// A host product's form: the document without limits, no states.
inline OutputForm HostXmlForm(const char* name) {
  OutputForm form;
  form.name = name;
  form.profileAsGiven = true;
  form.beginDocument = BeginXmlDocument;
  form.beginText = BeginXmlText;
  form.appendText = AppendXmlText;
  form.endText = EndXmlText;
  form.arrangeSystem = SystemAsItComes;
  form.channel = HostChannel;
  form.endDocument = EndXmlDocument;
  form.beginGroup = BeginFramedGroup;
  form.systemState = NoSystemState;
  form.summary = WriteFramedSummary;
  form.error = XmlError;
  form.errorEnd = XmlErrorEnd;
  form.handlerReport = XmlHandlerReport;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace fennick
