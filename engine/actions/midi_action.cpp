#include "engine/actions/midi_action.h"

#include <array>
#include <cstring>

#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/actions/midi_action_text.h"
#include "engine/format.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translate_params.h"
#include "midi/model/midi_names.h"

namespace kv {
namespace {

constexpr size_t kBlockLength = 4;
constexpr int32_t kMaxShownBytes = 20;

// The block tag at the 1-based position, or nothing when the text ends before it.
std::string_view BlockAt(std::string_view text, size_t position) {
  if (position < 1 || position > text.size()) return {};
  return text.substr(position - 1, kBlockLength);
}

const TMidiAliasList* NonEmpty(const TMidiAliasList& list) {
  return list.IsEmpty() ? nullptr : &list;
}

}  // namespace

std::string InsertHexSpaces(std::string_view text) {
  std::string result;
  if (text.empty()) return result;
  result.reserve(text.size() + text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    if (i > 0) result += ' ';
    result.append(text.substr(i, 2));
  }
  return result;
}

std::string DescribeMidiBytes(const uint8_t* bytes, int32_t n) {
  if (!bytes || n <= 0) return "MIDI";
  const int32_t shown = n > kMaxShownBytes ? kMaxShownBytes - 1 : n;
  std::string text = shown <= 3 ? std::string("MIDI") : FormatText(kMidiBytesFormat, {n});
  text += ' ';
  text += BytesToHexText(bytes, static_cast<size_t>(shown));
  if (n > kMaxShownBytes) {
    text += "...";
    text += IntToHex(bytes[n - 1], 2);
  }
  return text;
}

std::string DescribeMidiMatch(const TMidiPattern& pattern, const uint8_t* bytes, int32_t n) {
  std::string line = DescribeMidiBytes(bytes, n);
  bool first = true;
  for (const TMidiPatternVariable& v : pattern.Variables()) {
    if (v.position >= n) continue;
    if (first) line += ", ";
    first = false;
    line += ' ';
    line += VariableNameOf(v.variable);
    line += "=0x";
    line += IntToHex(bytes[v.position], 2);
  }
  return line;
}

std::string DescribeMidiSend(const uint8_t* bytes, int32_t n, bool sent) {
  std::string line = DescribeMidiBytes(bytes, n);
  if (!sent) {
    line += ' ';
    line += kMidiPortClosedText;
  }
  return line;
}

std::string FormatMidiActionText(std::string_view midiText, std::string_view description,
                                 const TMidiAliasList* ports) {
  std::vector<std::string> names;
  if (ports) {
    names.reserve(ports->Items().size());
    for (const TMidiAlias* alias : ports->Items())
      if (alias) names.push_back(alias->GetName());
  }
  return ConvertLegacyMidiText(midiText, description, names);
}

// --- TTransMidiAction ---------------------------------------------------------------------

void TTransMidiAction::Clear() {
  midiText_.clear();
  description_.clear();
  ports_.reset();
  pattern_ = TMidiPattern();
  collector_.Reset();
}

void TTransMidiAction::Assign(const TTransAction& source) {
  auto* other = dynamic_cast<const TTransMidiAction*>(&source);
  if (!other || other == this) return;
  std::string cleaned;
  TMidiPattern pattern = TMidiPattern::Parse(other->midiText_, cleaned);
  midiText_ = std::move(cleaned);
  description_ = other->description_;
  SetPorts(other->GetOwnPorts());
  pattern_ = std::move(pattern);
  collector_.Reset();
}

std::unique_ptr<TTransAction> TTransMidiAction::Clone() const {
  auto copy = std::make_unique<TTransMidiAction>(IsIncoming());
  copy->Assign(*this);
  return copy;
}

std::string TTransMidiAction::SaveToText() const {
  return FormatMidiActionText(midiText_, description_, GetOwnPorts());
}

size_t TTransMidiAction::LoadFromText(std::string_view text) {
  const std::string_view tag = text.substr(0, kBlockLength);
  const bool tagged = tag == kMidiTag || tag == kMidiPortsTag;
  const bool mayHavePorts = tag == kMidiPortsTag;
  size_t p = tagged ? kBlockLength + 1 : 1;  // 1-based, as the text helpers count

  std::string description;
  if (BlockAt(text, p) == kMidiDescriptionBlock) {
    p += kBlockLength;
    p += DecodeLengthPrefixed(text, p, description);
  }
  // Names the alias manager does not know become unbound aliases here, even when the MIDI
  // text below fails: they are harmless, and the same names come back on the next load.
  TMidiAliasList ports;
  if (mayHavePorts && BlockAt(text, p) == kMidiAliasBlock)
    p += ports.LoadFromData(text, p, PortKind());
  const std::string_view midi = p <= text.size() ? text.substr(p - 1) : std::string_view();

  std::string cleaned;
  TMidiPattern pattern = TMidiPattern::Parse(midi, cleaned);
  Clear();
  description_ = std::move(description);
  SetPorts(&ports);
  midiText_ = std::move(cleaned);
  pattern_ = std::move(pattern);
  return text.size();
}

std::string TTransMidiAction::GetSpacedMidiText() const {
  return InsertHexSpaces(midiText_);
}

std::string TTransMidiAction::GetDescription() const {
  if (!description_.empty()) return description_;
  return FormatText(kMidiDescriptionFormat, {GetSpacedMidiText()});
}

std::string TTransMidiAction::GetShortDescription() const {
  if (!description_.empty()) return description_;
  return DescribeMidiHex(GetSpacedMidiText(), true);
}

void TTransMidiAction::GetPorts(TMidiAliasList* list, bool append) const {
  if (!list) return;
  if (append)
    list->AddAliases(ports_.get(), false);
  else
    list->Assign(ports_.get());
}

void TTransMidiAction::SetPorts(const TMidiAliasList* list) {
  if (!list || list->IsEmpty()) {
    ports_.reset();
    return;
  }
  if (list == ports_.get()) return;
  if (!ports_) ports_ = std::make_unique<TMidiAliasList>();
  ports_->Assign(list);
}

const TMidiAliasList* TTransMidiAction::ChooseIncomingPorts(
    const TIncomingEvent& event, std::shared_ptr<const TMidiAliasList>& hold) const {
  if (HasOwnPorts()) return ports_.get();
  // The walk holds the preset's read lock.
  if (event.currentPreset)
    if (const TMidiAliasList* list = NonEmpty(event.currentPreset->GetDefaultInPorts()))
      return list;
  if (!event.params || !event.params->Project()) return nullptr;
  hold = event.params->Project()->DefaultInPortsSnapshot();
  return NonEmpty(*hold);
}

const TMidiAliasList* TTransMidiAction::ChooseOutgoingPorts(
    const TExecutionContext& context, std::shared_ptr<const TMidiAliasList>& hold) const {
  if (HasOwnPorts()) return ports_.get();
  // A queued action: the ports its event saw, kept by the dispatcher's entry.
  if (context.defaultOutPorts) return NonEmpty(*context.defaultOutPorts);
  // Run inside its event's walk, which holds the preset's read lock.
  if (context.preset)
    if (const TMidiAliasList* list = NonEmpty(context.preset->GetDefaultOutPorts())) return list;
  if (!context.params || !context.params->Project()) return nullptr;
  hold = context.params->Project()->DefaultOutPortsSnapshot();
  return NonEmpty(*hold);
}

bool TTransMidiAction::MatchIncoming(TIncomingEvent& event) {
  if (!event.data || event.length <= 0 || pattern_.IsEmpty()) return false;
  std::shared_ptr<const TMidiAliasList> held;
  const TMidiAliasList* ports = ChooseIncomingPorts(event, held);
  // A source outside the manager's slots (-1) is bound to no alias, not even an unbound one.
  if (ports && (event.value < 0 || !ports->HasDeviceIndex(event.value))) return false;
  std::array<uint8_t, kMaxMidiPatternBytes> matched;
  const int32_t n =
      collector_.Offer(pattern_, event.value, event.data, event.length, matched.data());
  if (n == 0) return false;
  TGlobalVariables* globals = event.params ? &event.params->Globals() : nullptr;
  for (const TMidiPatternVariable& v : pattern_.Variables()) {
    if (v.position < n) SetVariableValue(v.variable, matched[v.position], &event.locals, globals);
  }
  if (event.params && event.params->IsLogging())
    event.params->LogIncoming(DescribeMidiMatch(pattern_, matched.data(), n), event);
  return true;
}

bool TTransMidiAction::ExecuteOutgoing(TExecutionContext& context) {
  const int32_t length = pattern_.Length();
  if (length == 0) return false;
  // Our own copy: another thread may be sending this same action at this moment.
  std::array<uint8_t, kMaxMidiPatternBytes> bytes;
  std::memcpy(bytes.data(), pattern_.Bytes(), bytes.size());
  const TGlobalVariables* globals = context.params ? &context.params->Globals() : nullptr;
  for (const TMidiPatternVariable& v : pattern_.Variables()) {
    const int32_t value = GetVariableValue(v.variable, context.locals, globals);
    bytes[static_cast<size_t>(v.position)] = static_cast<uint8_t>(value & 0xFF);
  }
  std::shared_ptr<const TMidiAliasList> held;
  const TMidiAliasList* ports = ChooseOutgoingPorts(context, held);
  bool sent = false;
  if (TMidiOutputSink* sink = GetMidiOutputSink()) {
    if (length <= 3) {
      const uint32_t packed = static_cast<uint32_t>(bytes[0]) |
                              static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16;
      sent = ports ? sink->SendShortToAliases(*ports, packed) : sink->SendShortToAll(packed);
    } else {
      const size_t n = static_cast<size_t>(length);
      sent = ports ? sink->SendLongToAliases(*ports, bytes.data(), n)
                   : sink->SendLongToAll(bytes.data(), n);
    }
  }
  if (context.params && context.params->IsLogging())
    context.params->LogOutgoing(DescribeMidiSend(bytes.data(), length, sent), context);
  return sent;
}

void RegisterMidiActions() {
  RegisterTransActionClass<TTransMidiAction>(kMidiTag);
  RegisterTransActionClass<TTransMidiAction>(kMidiPortsTag);
}

}  // namespace kv
