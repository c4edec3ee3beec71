#include "midi/model/midi_names.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "base/text.h"
#include "base/utils.h"

namespace kv {

namespace {

constexpr std::array<const char*, 128> MakeControllerNames() {
  std::array<const char*, 128> n{};
  for (auto& e : n) e = "";
  n[0] = "Bank Select MSB";
  n[1] = "Modulation";
  n[2] = "Breath Control";
  n[4] = "Foot Controller";
  n[5] = "Portamento Time";
  n[6] = "Data MSB";
  n[7] = "Channel Volume";
  n[8] = "Balance";
  n[10] = "Pan";
  n[11] = "Expression";
  n[32] = "Bank Select LSB";
  n[33] = "Modulation LSB";
  n[34] = "Breath Control LSB";
  n[36] = "Foot Controller LSB";
  n[37] = "Portamento Time LSB";
  n[38] = "Data LSB";
  n[39] = "Channel Volume LSB";
  n[40] = "Balance LSB";
  n[42] = "Pan LSB";
  n[43] = "Expression LSB";
  n[44] = "Effect 1 LSB";
  n[45] = "Effect 2 LSB";
  n[48] = "General 1 LSB";
  n[49] = "General 2 LSB";
  n[50] = "General 3 LSB";
  n[51] = "General 4 LSB";
  n[64] = "Sustain";
  n[65] = "Portamento";
  n[66] = "Soft";
  n[67] = "Sostenuto";
  n[68] = "Legato";
  n[69] = "Hold 2";
  n[70] = "Sound Variation";
  n[71] = "Timbre";
  n[72] = "Release Time";
  n[73] = "Attack Time";
  n[74] = "Brightness";
  n[84] = "Portamento Control";
  n[91] = "Reverb";
  n[92] = "Tremolo";
  n[93] = "Chorus";
  n[95] = "Phaser";
  n[96] = "Data Entry +1";
  n[97] = "Data Entry -1";
  n[98] = "NRPN LSB";
  n[99] = "NRPN MSB";
  n[100] = "RPN LSB";
  n[101] = "RPN MSB";
  n[120] = "All Sound off";
  n[121] = "Reset Controllers";
  n[122] = "Local Control Switch";
  n[123] = "All Notes Off";
  n[124] = "Omni Mode Off";
  n[125] = "Omni Mode On";
  n[126] = "Poly Mode Switch";
  n[127] = "Poly Mode On";
  return n;
}

constexpr std::array<const char*, 128> kControllerNames = MakeControllerNames();
constexpr std::array<const char*, 12> kNoteNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                    "F#", "G",  "G#", "A",  "A#", "B"};

constexpr int kNrpnMsb = 99, kNrpnLsb = 98, kRpnMsb = 101, kRpnLsb = 100;
constexpr int kDataMsb = 6, kDataLsb = 38;

// The blank-free text and a read position; fields are two characters each.
class THexCursor {
 public:
  explicit THexCursor(std::string_view text) : text_(text) {}

  size_t Remaining(size_t pos) const { return pos < text_.size() ? text_.size() - pos : 0; }
  std::string_view Raw(size_t pos, int field) const { return text_.substr(pos + 2 * field, 2); }
  // The field's byte, or -1 when it is not two hexadecimal digits.
  int Byte(size_t pos, int field) const { return HexPairToByte(text_, pos + 2 * field + 1); }
  // The byte in decimal, or the raw characters (a variable name).
  std::string Decimal(size_t pos, int field) const {
    const int b = Byte(pos, field);
    return b >= 0 ? IntToStr(b) : std::string(Raw(pos, field));
  }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
};

std::string NoteText(const THexCursor& c, size_t pos, int field) {
  const int b = c.Byte(pos, field);
  if (b < 0) return "Note " + std::string(c.Raw(pos, field));
  return GetMidiNoteName(b);
}

std::string ControllerNameText(const THexCursor& c, size_t pos, int field) {
  const int b = c.Byte(pos, field);
  if (b < 0) return "Controller " + std::string(c.Raw(pos, field));
  return GetMidiControllerName(b, true);
}

// The percentage with at most one decimal ("-99.2%", "0%", "+100%").
std::string PitchPercent(int value) {
  const int offset = value - 8192;
  const double percent = offset <= 0 ? offset * 100.0 / 8192.0 : offset * 100.0 / 8191.0;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", percent);
  std::string text = buffer;
  if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) {
    text.resize(text.size() - 2);
  }
  if (text == "-0") text = "0";
  if (offset > 0) text.insert(text.begin(), '+');
  return text + "%";
}

std::string PitchText(const THexCursor& c, size_t pos) {
  const int lsb = c.Byte(pos, 1), msb = c.Byte(pos, 2);
  if (lsb >= 0 && msb >= 0) return PitchPercent(lsb + msb * 128);
  return std::string(c.Raw(pos, 1)) + "," + std::string(c.Raw(pos, 2));
}

struct TParamParts {
  bool rpn = false;
  std::optional<std::string> numberMsb, numberLsb, dataMsb, dataLsb;
};

// A run of controller messages on one channel that select an NRPN or RPN number and set its
// data entry, told as one description. Returns the characters it covers (0: not such a run).
size_t DescribeParameterRun(const THexCursor& c, size_t pos, std::string& out) {
  const std::string_view status = c.Raw(pos, 0);
  const int first = c.Byte(pos, 1);
  TParamParts parts;
  parts.rpn = first == kRpnMsb || first == kRpnLsb;
  const int msbNumber = parts.rpn ? kRpnMsb : kNrpnMsb;
  const int lsbNumber = parts.rpn ? kRpnLsb : kNrpnLsb;
  size_t p = pos;
  int taken = 0;
  while (taken < 4 && c.Remaining(p) >= 6 && c.Raw(p, 0) == status) {
    const int controller = c.Byte(p, 1);
    std::optional<std::string>* slot = nullptr;
    if (controller == msbNumber) slot = &parts.numberMsb;
    if (controller == lsbNumber) slot = &parts.numberLsb;
    if (controller == kDataMsb) slot = &parts.dataMsb;
    if (controller == kDataLsb) slot = &parts.dataLsb;
    if (!slot || slot->has_value()) break;
    *slot = c.Decimal(p, 2);
    ++taken;
    p += 6;
  }
  // A lone number message is told as the plain controller message it is.
  if (taken < 2) return 0;
  out = parts.rpn ? "RPN: MSB=" : "NRPN: MSB=";
  out += parts.numberMsb.value_or("?");
  out += " LSB=";
  out += parts.numberLsb.value_or("?");
  if (parts.dataLsb || parts.dataMsb) {
    out += ", data:";
    if (parts.dataLsb) out += " LSB: " + *parts.dataLsb;
    if (parts.dataMsb) out += " MSB: " + *parts.dataMsb;
  }
  return p - pos;
}

size_t DescribeController(const THexCursor& c, size_t pos, const std::string& channel,
                          std::string& out) {
  const int controller = c.Byte(pos, 1);
  const bool selectsParameter = controller == kNrpnMsb || controller == kNrpnLsb ||
                                controller == kRpnMsb || controller == kRpnLsb;
  if (selectsParameter && c.Remaining(pos) >= 6 + 12) {
    if (const size_t used = DescribeParameterRun(c, pos, out)) return used;
  }
  out = "CC #" + channel + ": " + ControllerNameText(c, pos, 1) + ", " + c.Decimal(pos, 2);
  return 6;
}

const char* SystemByteName(int status) {
  switch (status) {
    case 0xF6:
      return "Tune Request";
    case 0xF8:
      return "Timing Clock";
    case 0xFA:
      return "Song Start";
    case 0xFB:
      return "Song Continue";
    case 0xFC:
      return "Song Stop";
    case 0xFE:
      return "Active Sensing";
    case 0xFF:
      return "System Reset";
    default:
      return nullptr;
  }
}

// Describes the message at pos into out; returns the characters it covers, 0 for none.
size_t DescribeOne(const THexCursor& c, size_t pos, std::string& out) {
  const int status = c.Byte(pos, 0);
  if (status < 0) return 0;
  const size_t have = c.Remaining(pos);
  const std::string channel = IntToStr((status & 0x0F) + 1);
  auto needs = [have](size_t n) { return have >= n; };
  switch (status & 0xF0) {
    case 0x80:
      if (!needs(6)) return 0;
      out = "Note Off #" + channel + ": " + NoteText(c, pos, 1) + ", vel " + c.Decimal(pos, 2);
      return 6;
    case 0x90:
      if (!needs(6)) return 0;
      out = "Note On #" + channel + ": " + NoteText(c, pos, 1) + ", vel " + c.Decimal(pos, 2);
      return 6;
    case 0xA0:
      if (!needs(6)) return 0;
      out = "Aftertouch #" + channel + ": " + NoteText(c, pos, 1) + ", " + c.Decimal(pos, 2);
      return 6;
    case 0xB0:
      if (!needs(6)) return 0;
      return DescribeController(c, pos, channel, out);
    case 0xC0:
      if (!needs(4)) return 0;
      out = "Program Change #" + channel + ": " + c.Decimal(pos, 1);
      return 4;
    case 0xD0:
      if (!needs(4)) return 0;
      out = "Channel Pressure #" + channel + ": " + c.Decimal(pos, 1);
      return 4;
    case 0xE0:
      if (!needs(6)) return 0;
      out = "PitchWheel #" + channel + ": " + PitchText(c, pos);
      return 6;
    default:
      break;
  }
  switch (status) {
    case 0xF1:
      if (!needs(6)) return 0;
      out = "MTC Quarter Frame: " + c.Decimal(pos, 1) + "," + c.Decimal(pos, 2);
      return 6;
    case 0xF2: {
      if (!needs(6)) return 0;
      const int lsb = c.Byte(pos, 1), msb = c.Byte(pos, 2);
      const std::string value = lsb >= 0 && msb >= 0
                                    ? IntToStr(lsb + msb * 128)
                                    : std::string(c.Raw(pos, 1)) + "," + std::string(c.Raw(pos, 2));
      out = "Song Position Pointer: " + value;
      return 6;
    }
    case 0xF3:
      if (!needs(4)) return 0;
      out = "Song Select: " + c.Decimal(pos, 1);
      return 4;
    default:
      break;
  }
  if (const char* name = SystemByteName(status)) {
    out = name;
    return 2;
  }
  return 0;
}

std::string SpacedPairs(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); i += 2) {
    if (!out.empty()) out += ' ';
    out += text.substr(i, 2);
  }
  return out;
}

}  // namespace

std::string GetMidiControllerName(int number, bool withFallback) {
  if (number < 0 || number > 127) return {};
  std::string name = kControllerNames[number];
  if (name.empty() && withFallback) name = "Controller " + IntToStr(number);
  return name;
}

std::string GetMidiNoteName(int number) {
  if (number < 0 || number > 127) return {};
  return std::string(kNoteNames[number % 12]) + IntToStr(number / 12 - 1);
}

std::string DescribeMidiHex(std::string_view hexText, bool fallbackToInput) {
  const std::string text = RemoveAllChars(hexText, ' ');
  const THexCursor cursor(text);
  std::string result, one;
  bool describedAny = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t used = DescribeOne(cursor, pos, one);
    if (used == 0) {
      if (describedAny) result += " - " + SpacedPairs(std::string_view(text).substr(pos));
      break;
    }
    if (describedAny) result += " - ";
    result += one;
    describedAny = true;
    pos += used;
  }
  if (!describedAny && fallbackToInput) return std::string(hexText);
  return result;
}

}  // namespace kv
