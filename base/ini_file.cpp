#include "base/ini_file.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <random>

#include "base/platform.h"
#include "base/text.h"
#include "base/utils.h"

namespace kv {

// --- TCustomIniFile: typed values over the text values ---

int32_t TCustomIniFile::ReadInteger(std::string_view section, std::string_view key,
                                    int32_t def) const {
  const std::string text = ReadString(section, key, "");
  return StrToIntDef(Trim(text), def);
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::pair<std::string, std::string>> TCustomIniFile::ReadSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> values;
  for (std::string& key : ReadSection(section)) {
    std::string value = ReadString(section, key, "");
    values.emplace_back(std::move(key), std::move(value));
  }
  return values;
}

// --- files ---

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

std::string ReadFileBytes(const std::string& fileName) {
  FilePtr f(std::fopen(fileName.c_str(), "rb"));
  // The system's reason: "in use by another process" tells the user what to do, where the
  // C library's would only say "permission denied".
  if (!f) throw EFileError("Cannot open file \"" + fileName + "\": " + LastSystemErrorText());
  std::string bytes;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) bytes.append(buf, n);
  if (std::ferror(f.get())) throw EFileError("Cannot read file \"" + fileName + "\"");
  return bytes;
}

namespace {

constexpr size_t kTemporaryTailSize = 12;  // "XXXXXXXX.tmp" after the file's name and a "."

// A temporary name in the file's own folder (so the replace stays on one volume) that no other
// writer uses: two copies of the program saving the same file at once must not share one.
std::string UniqueTemporaryName(const std::string& fileName) {
  static std::atomic<uint32_t> counter{std::random_device{}()};
  for (;;) {
    const uint32_t n = counter.fetch_add(0x9E3779B9u) ^ std::random_device{}();
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08X.tmp", static_cast<unsigned>(n));
    std::string temp = fileName + suffix;
    if (!FileExists(temp) && !DirExists(temp)) return temp;
  }
}

// True for the tail UniqueTemporaryName puts after the file's name and its ".".
bool IsTemporaryTail(std::string_view tail) {
  if (tail.size() != kTemporaryTailSize || tail.substr(8) != ".tmp") return false;
  return std::all_of(tail.begin(), tail.begin() + 8,
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

// A save cut off by a killed process leaves its temporary file behind; once the file has
// been saved again those are of no use. One that a process holds is a save still running.
void RemoveLeftoverTemporaries(const std::string& fileName) {
  const std::string folder = ExtractFilePath(fileName);
  const std::string prefix = ExtractFileName(fileName) + '.';
  for (const std::string& name : FileNamesStartingWith(folder, prefix))
    if (IsTemporaryTail(std::string_view(name).substr(prefix.size())))
      DeleteFileUnlessHeld(folder + name);
}

EFileError CannotSave(const std::string& fileName, const std::string& reason) {
  return EFileError("Cannot save \"" + fileName + "\": " + reason);
}

}  // namespace

void WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
  const std::string temp = UniqueTemporaryName(fileName);
  bool saved = false;
  std::string reason;
  {
    TReplacementFile file(temp);
    if (!file.IsOpen()) throw CannotSave(fileName, LastSystemErrorText());
    // Flushed before the move: a power cut leaves the old file or the new one, never the
    // name on an empty file.
    saved = file.Write(bytes) && file.Flush() && file.MoveTo(fileName);
    if (!saved) reason = LastSystemErrorText();  // before closing the file may change it
  }
  if (!saved) {
    DeleteFileAt(temp);
    throw CannotSave(fileName, reason);
  }
  RemoveLeftoverTemporaries(fileName);
}

// --- TMemIniFile::TNameIndex ---

namespace {

// ASCII upper case, as UpCaseChar, here where hashing calls it for every byte of a name.
inline char FoldChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A plain name is printable ASCII but for the hyphen and the apostrophe, which word sorting
// weighs apart from other marks: two plain names are equal in the user's locale exactly when
// they are equal ignoring ASCII case. Such a name gets the FNV-1a hash of its upper-cased
// bytes; any other name gets none.
std::optional<uint32_t> PlainNameHash(std::string_view name) {
  uint32_t h = 2166136261u;
  for (const char c : name) {
    if (c < ' ' || c > '~' || c == '-' || c == '\'') return std::nullopt;
    h ^= static_cast<unsigned char>(FoldChar(c));
    h *= 16777619u;
  }
  return h;
}

// Blanks and control characters off both ends, as Trim, without a copy.
std::string_view TrimView(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

bool FoldEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldChar(a[i]) != FoldChar(b[i])) return false;
  return true;
}

}  // namespace

// The name of an entry, or nullptr for an entry that has none.
const std::string* TMemIniFile::NameOf(const Section& s) {
  return s.hasHeader ? &s.name : nullptr;
}

const std::string* TMemIniFile::NameOf(const Line& l) {
  return l.isValue ? &l.key : nullptr;
}

void TMemIniFile::TNameIndex::Clear() {
  slots_.clear();
  used_ = 0;
  otherNames_ = 0;
}

void TMemIniFile::TNameIndex::Reserve(size_t names) {
  size_t slots = 16;
  while (slots < names * 2) slots *= 2;
  if (slots > slots_.size()) Rehash(slots);
}

void TMemIniFile::TNameIndex::Rehash(size_t slots) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slots, Slot{});
  const size_t mask = slots - 1;
  for (const Slot& slot : old) {
    if (slot.pos == kEmpty) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].pos != kEmpty) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

template <class List>
void TMemIniFile::TNameIndex::Add(const List& list, size_t pos) {
  const std::string& name = *NameOf(list[pos]);
  const std::optional<uint32_t> plainHash = PlainNameHash(name);
  if (!plainHash) {
    ++otherNames_;
    return;
  }
  if ((used_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
  const uint32_t hash = *plainHash;
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  for (; slots_[i].pos != kEmpty; i = (i + 1) & mask)
    if (slots_[i].hash == hash && FoldEqual(*NameOf(list[slots_[i].pos]), name)) return;
  slots_[i] = Slot{hash, static_cast<uint32_t>(pos)};
  ++used_;
}

template <class List>
std::optional<size_t> TMemIniFile::TNameIndex::Find(std::string_view name, const List& list) const {
  const std::optional<uint32_t> plainHash = otherNames_ == 0 ? PlainNameHash(name) : std::nullopt;
  if (plainHash) {
    if (slots_.empty()) return std::nullopt;
    const uint32_t hash = *plainHash;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].pos != kEmpty; i = (i + 1) & mask)
      if (slots_[i].hash == hash && FoldEqual(*NameOf(list[slots_[i].pos]), name))
        return slots_[i].pos;
    return std::nullopt;
  }
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string* entryName = NameOf(list[i]);
    if (entryName && AnsiSameText(*entryName, name)) return i;
  }
  return std::nullopt;
}

// --- TMemIniFile ---

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  if (!fileName_.empty() && FileExists(fileName_)) SetText(ReadFileBytes(fileName_));
}

void TMemIniFile::Clear() {
  sections_.clear();
  sectionIndex_.Clear();
}

TMemIniFile::Section& TMemIniFile::AddSection(std::string name, bool hasHeader) {
  sections_.push_back(Section{std::move(name), hasHeader, {}, {}});
  Section& s = sections_.back();
  if (hasHeader) sectionIndex_.Add(sections_, sections_.size() - 1);
  return s;
}

void TMemIniFile::IndexKeys(Section& s) {
  s.keys.Clear();
  s.keys.Reserve(s.lines.size());
  for (size_t i = 0; i < s.lines.size(); ++i)
    if (s.lines[i].isValue) s.keys.Add(s.lines, i);
}

void TMemIniFile::IndexSections() {
  sectionIndex_.Clear();
  for (size_t i = 0; i < sections_.size(); ++i)
    if (sections_[i].hasHeader) sectionIndex_.Add(sections_, i);
}

namespace {
// The lines up to the next one that opens a section, so that a section's lines take one
// allocation; a header indented with blanks only makes the guess larger.
size_t LinesBeforeNextHeader(std::string_view rest) {
  const std::string_view body = rest.substr(0, rest.find("\n["));
  return static_cast<size_t>(std::count(body.begin(), body.end(), '\n')) + 1;
}
}  // namespace

void TMemIniFile::SetText(std::string_view text) {
  Clear();
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view trimmed = TrimView(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      current = &AddSection(std::string(trimmed.substr(1, trimmed.size() - 2)), true);
      if (pos < text.size()) current->lines.reserve(LinesBeforeNextHeader(text.substr(pos)));
      continue;
    }
    if (!current) current = &AddSection("", false);
    const size_t eq = line.find('=');
    const bool comment = !trimmed.empty() && trimmed.front() == ';';
    if (eq != std::string_view::npos && !comment && current->hasHeader)
      current->lines.push_back(
          Line{true, std::string(TrimView(line.substr(0, eq))), std::string(line.substr(eq + 1))});
    else
      current->lines.push_back(Line{false, {}, std::string(line)});
  }
  for (Section& s : sections_) IndexKeys(s);
}

std::string TMemIniFile::GetText() const {
  size_t size = 0;
  for (const Section& s : sections_) {
    if (s.hasHeader) size += s.name.size() + 4;
    for (const Line& l : s.lines) size += l.key.size() + l.value.size() + 3;
  }
  std::string out;
  out.reserve(size);
  for (const Section& s : sections_) {
    if (s.hasHeader) out.append("[").append(s.name).append("]\r\n");
    for (const Line& l : s.lines) {
      if (l.isValue) out.append(l.key).append("=");
      out.append(l.value).append("\r\n");
    }
  }
  return out;
}

TMemIniFile::Section* TMemIniFile::Find(std::string_view section) {
  const auto pos = sectionIndex_.Find(section, sections_);
  return pos ? &sections_[*pos] : nullptr;
}

const TMemIniFile::Section* TMemIniFile::Find(std::string_view section) const {
  const auto pos = sectionIndex_.Find(section, sections_);
  return pos ? &sections_[*pos] : nullptr;
}

std::optional<size_t> TMemIniFile::FindKey(const Section& s, std::string_view key) {
  return s.keys.Find(key, s.lines);
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
  if (const Section* s = Find(section))
    if (const auto pos = FindKey(*s, key)) return s->lines[*pos].value;
  return std::string(def);
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  Section* s = Find(section);
  if (!s) s = &AddSection(std::string(section), true);
  if (const auto pos = FindKey(*s, key)) {
    s->lines[*pos].value.assign(value);
    return;
  }
  // A new key goes after the section's last value, before any trailing blank lines, so that
  // the blank line separating sections stays where it was. Only lines without a key follow
  // it, so no indexed position moves.
  auto insertAt = s->lines.end();
  while (insertAt != s->lines.begin() && !(insertAt - 1)->isValue &&
         TrimView((insertAt - 1)->value).empty())
    --insertAt;
  const size_t at = static_cast<size_t>(insertAt - s->lines.begin());
  s->lines.insert(insertAt, Line{true, std::string(key), std::string(value)});
  s->keys.Add(s->lines, at);
}

std::vector<std::string> TMemIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Section& s : sections_)
    if (s.hasHeader) names.push_back(s.name);
  return names;
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = Find(section)) {
    keys.reserve(s->lines.size());
    for (const Line& l : s->lines)
      if (l.isValue) keys.push_back(l.key);
  }
  return keys;
}

std::vector<std::pair<std::string, std::string>> TMemIniFile::ReadSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> values;
  if (const Section* s = Find(section)) {
    values.reserve(s->lines.size());
    for (const Line& l : s->lines)
      if (l.isValue) values.emplace_back(l.key, l.value);
  }
  return values;
}

bool TMemIniFile::SectionExists(std::string_view section) const {
  return Find(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  return s && FindKey(*s, key);
}

void TMemIniFile::EraseSection(std::string_view section) {
  if (!Find(section)) return;  // the common case when a section is written anew
  std::erase_if(sections_,
                [&](const Section& s) { return s.hasHeader && AnsiSameText(s.name, section); });
  IndexSections();
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  if (!s) return;
  const auto pos = FindKey(*s, key);
  if (!pos) return;
  s->lines.erase(s->lines.begin() + static_cast<std::ptrdiff_t>(*pos));
  IndexKeys(*s);  // positions after it moved, and a duplicate of the key may now come first
}

void TMemIniFile::UpdateFile() {
  if (fileName_.empty()) throw EFileError("No file name to write the settings to");
  WriteFileAtomically(fileName_, GetText());
}

}  // namespace kv
