#include "base/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/platform.h"
#include "base/text.h"

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
  if (!f) throw EFileError("Cannot open file \"" + fileName + "\": " + std::strerror(errno));
  std::string bytes;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) bytes.append(buf, n);
  if (std::ferror(f.get())) throw EFileError("Cannot read file \"" + fileName + "\"");
  return bytes;
}

void WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
  const std::string temp = fileName + ".tmp";
  {
    FilePtr f(std::fopen(temp.c_str(), "wb"));
    if (!f) throw EFileError("Cannot create file \"" + temp + "\": " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    const bool flushed = std::fflush(f.get()) == 0;
    std::FILE* raw = f.release();
    const bool closed = std::fclose(raw) == 0;
    if (!written || !flushed || !closed) {
      DeleteFileAt(temp);
      throw EFileError("Cannot write file \"" + temp + "\"");
    }
  }
  if (!ReplaceFileWith(temp, fileName)) {
    const std::string reason = LastSystemErrorText();
    DeleteFileAt(temp);
    throw EFileError("Cannot replace file \"" + fileName + "\": " + reason);
  }
}

// --- TMemIniFile ---

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  if (!fileName_.empty() && FileExists(fileName_)) SetText(ReadFileBytes(fileName_));
}

void TMemIniFile::SetText(std::string_view text) {
  sections_.clear();
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string trimmed = Trim(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      sections_.push_back(Section{trimmed.substr(1, trimmed.size() - 2), true, {}});
      current = &sections_.back();
      continue;
    }
    if (!current) {
      sections_.push_back(Section{"", false, {}});
      current = &sections_.back();
    }
    Line l;
    const size_t eq = line.find('=');
    const bool comment = !trimmed.empty() && trimmed.front() == ';';
    if (eq != std::string_view::npos && !comment && current->hasHeader) {
      l.isValue = true;
      l.key = Trim(line.substr(0, eq));
      l.value = std::string(line.substr(eq + 1));
    } else {
      l.value = std::string(line);
    }
    current->lines.push_back(std::move(l));
  }
}

std::string TMemIniFile::GetText() const {
  std::string out;
  for (const Section& s : sections_) {
    if (s.hasHeader) out += "[" + s.name + "]\r\n";
    for (const Line& l : s.lines) {
      if (l.isValue)
        out += l.key + "=" + l.value + "\r\n";
      else
        out += l.value + "\r\n";
    }
  }
  return out;
}

TMemIniFile::Section* TMemIniFile::Find(std::string_view section) {
  for (Section& s : sections_)
    if (s.hasHeader && AnsiSameText(s.name, section)) return &s;
  return nullptr;
}

const TMemIniFile::Section* TMemIniFile::Find(std::string_view section) const {
  for (const Section& s : sections_)
    if (s.hasHeader && AnsiSameText(s.name, section)) return &s;
  return nullptr;
}

const TMemIniFile::Line* TMemIniFile::FindKey(const Section& s, std::string_view key) {
  for (const Line& l : s.lines)
    if (l.isValue && AnsiSameText(l.key, key)) return &l;
  return nullptr;
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
  if (const Section* s = Find(section))
    if (const Line* l = FindKey(*s, key)) return l->value;
  return std::string(def);
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  Section* s = Find(section);
  if (!s) {
    sections_.push_back(Section{std::string(section), true, {}});
    s = &sections_.back();
  }
  for (Line& l : s->lines) {
    if (l.isValue && AnsiSameText(l.key, key)) {
      l.value = std::string(value);
      return;
    }
  }
  // A new key goes after the section's last value, before any trailing blank lines, so that
  // the blank line separating sections stays where it was.
  auto insertAt = s->lines.end();
  while (insertAt != s->lines.begin() && !(insertAt - 1)->isValue &&
         Trim((insertAt - 1)->value).empty())
    --insertAt;
  s->lines.insert(insertAt, Line{true, std::string(key), std::string(value)});
}

std::vector<std::string> TMemIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Section& s : sections_)
    if (s.hasHeader) names.push_back(s.name);
  return names;
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = Find(section))
    for (const Line& l : s->lines)
      if (l.isValue) keys.push_back(l.key);
  return keys;
}

bool TMemIniFile::SectionExists(std::string_view section) const {
  return Find(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  return s && FindKey(*s, key);
}

void TMemIniFile::EraseSection(std::string_view section) {
  for (auto it = sections_.begin(); it != sections_.end();) {
    if (it->hasHeader && AnsiSameText(it->name, section))
      it = sections_.erase(it);
    else
      ++it;
  }
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  if (!s) return;
  for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
    if (it->isValue && AnsiSameText(it->key, key)) {
      s->lines.erase(it);
      return;
    }
  }
}

void TMemIniFile::UpdateFile() {
  if (fileName_.empty()) throw EFileError("No file name to write the settings to");
  WriteFileAtomically(fileName_, GetText());
}

}  // namespace kv
