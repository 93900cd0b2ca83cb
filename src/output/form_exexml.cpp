// PRTG's own EXE/XML sensor form: the document with limits, at most 50
// channels with those in alarm among them, every channel name once, and for
// a group a channel and a note for the systems that gave none.
#include <algorithm>

#include "output/form_xml.h"
#include "output/prtg_channels.h"

namespace fennick {

namespace {

// PRTG refuses a sensor with more channels.
const int kPrtgChannels = 50;

const char kUnmeasuredChannel[] = "Unmeasured systems";

int Room(const ResultWriter& w) { return kPrtgChannels - w.channelsKept; }

void Show(ResultWriter& w, const ChannelOut& channel) {
  ++w.channelsShown;
  WriteXmlChannel(w, channel, true);
}

// A single system's channels come arranged (ArrangeSystem). A group's come
// system by system, each named as it comes, and are written at once while
// this one and one for each system still to come fit in the room; from
// the first that may not, they are held back until the document closes,
// so that those in alarm can be written first.
void SensorChannel(ResultWriter& w, const ChannelOut& channel) {
  PrtgChannels& prtg = w.prtg;
  if (!prtg.group) {
    if (w.channelsShown >= Room(w)) {
      ++w.channelsLeftOut;
      return;
    }
    return Show(w, channel);
  }
  ChannelOut named = channel;
  named.name = UniqueChannelName(prtg, channel.name, channel.profile);
  if (!named.offline.empty()) prtg.offline.push_back(named.name);
  if (!prtg.holding && w.channelsShown + 1 + static_cast<int64_t>(w.systemsToCome) <= Room(w)) return Show(w, named);
  prtg.holding = true;
  prtg.held.push_back(named);
}

// The channels held back, as many as the room has, those in alarm first.
void WriteHeld(ResultWriter& w) {
  PrtgChannels& prtg = w.prtg;
  const size_t room = static_cast<size_t>(std::max(0, Room(w) - w.channelsShown));
  const std::vector<ChannelOut> ordered = ChannelsForRoom(prtg.held, room, w.limits);
  for (size_t i = 0; i < ordered.size(); ++i) {
    if (i < room) {
      Show(w, ordered[i]);
    } else {
      ++w.channelsLeftOut;
    }
  }
  prtg.held.clear();
}

std::string ArrangeSystem(ResultWriter& w, const std::string& summary, std::vector<ChannelOut>& channels) {
  for (ChannelOut& channel : channels) {
    channel.name = UniqueChannelName(w.prtg, channel.name, channel.profile);
    if (!channel.offline.empty()) w.prtg.offline.push_back(channel.name);
  }
  const int count = static_cast<int>(channels.size());
  channels = ChannelsForRoom(channels, static_cast<size_t>(Room(w)), w.limits);
  return PrtgText(summary, {}, w.prtg.offline, ChannelsLeftOutNote(w, count));
}

// A group keeps a channel for the systems that gave none, so that the
// sensor turns to warning while one is missing, whatever limits it has.
void SensorGroup(ResultWriter& w) {
  BeginFramedGroup(w);
  w.channelsKept = 1;
  w.prtg.group = true;
  w.prtg.names.insert(kUnmeasuredChannel);
}

void WriteUnmeasuredChannel(ResultWriter& w, size_t count) {
  w.messageBuffer += "\n<Result><Channel>" + std::string(kUnmeasuredChannel) +
                     "</Channel>\n<Unit>Count</Unit>\n<Value>" + std::to_string(count) +
                     "</Value>\n<LimitMode>1</LimitMode>\n<LimitMaxWarning>0</LimitMaxWarning>" + "</Result>\n";
}

// "QAS (Rfc Failure: Name or password is incorrect)", "DVE.P00 (Profile missing)".
std::string UnmeasuredEntry(const UnmeasuredSystem& system) {
  return system.label + " (" + system.state + (system.reason.empty() ? "" : ": " + system.reason) + ")";
}

void SensorSummary(ResultWriter& w, const GroupSummary& summary) {
  w.messageBuffer.clear();
  WriteHeld(w);
  WriteUnmeasuredChannel(w, summary.unmeasured.size());
  std::vector<std::string> unmeasured;
  for (const UnmeasuredSystem& system : summary.unmeasured) unmeasured.push_back(UnmeasuredEntry(system));
  const std::string channels = ChannelsLeftOutNote(w, w.channelsShown + w.channelsLeftOut);
  WriteFramedText(w, PrtgText(summary.text, unmeasured, w.prtg.offline, channels));
}

// An error that closes a group's document: the channels held back come
// before it, as they would have come out without holding.
void SensorErrorEnd(ResultWriter& w, const RunFailure& failure) {
  w.messageBuffer.clear();
  WriteHeld(w);
  w.messageBuffer += ErrorDocumentEnd(failure.message);
}

void SensorHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen, const std::string& system) {
  if (!documentOpen) return XmlHandlerReport(w, report, documentOpen, system);
  w.messageBuffer.clear();
  WriteHeld(w);
  w.messageBuffer += ErrorDocumentEnd(XmlHandlerText(report, system));
}

OutputForm ExexmlForm() {
  OutputForm form;
  form.name = "EXEXML";
  form.prtgSensor = true;
  form.channelRoom = kPrtgChannels;
  form.beginDocument = BeginXmlDocument;
  form.beginText = BeginXmlText;
  form.appendText = AppendXmlText;
  form.endText = EndXmlText;
  form.arrangeSystem = ArrangeSystem;
  form.channel = SensorChannel;
  form.endDocument = EndXmlDocument;
  form.beginGroup = SensorGroup;
  form.systemState = NoSystemState;
  form.summary = SensorSummary;
  form.error = XmlError;
  form.errorEnd = SensorErrorEnd;
  form.handlerReport = SensorHandlerReport;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace

extern const OutputForm kExexmlForm = ExexmlForm();

}  // namespace fennick
