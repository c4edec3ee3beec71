#include "app/shell/other_programs.h"

#include <cstring>

#include "app/shell/other_programs_streams.h"
#include "base/exception.h"
#include "base/text.h"

namespace kv {

std::vector<std::string> PublicityLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    const bool comment = line.size() >= 3 && line.compare(0, 2, "//") == 0;
    if (!line.empty() && !comment) lines.push_back(std::move(line));
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n')
      ++start;
  }
  return lines;
}

namespace {

std::string ReadAll(TStream& stream) {
  std::string bytes;
  char piece[256];
  for (;;) {
    const size_t n = stream.Read(piece, sizeof piece);
    bytes.append(piece, n);
    if (n < sizeof piece) break;
  }
  return bytes;
}

}  // namespace

std::vector<std::string> LoadPublicityText(TPublicityResources& resources, const std::string& name,
                                           bool scrambled, bool withChecksum) {
  const std::optional<std::string> data = resources.Named(name);
  if (!data) throw Exception("Resource " + name + " not found");
  auto resource = std::make_unique<TMemoryStream>(*data);
  TStream* top = resource.get();
  std::unique_ptr<TStream> owner = std::move(resource);
  TCRCReadStream* crc = nullptr;
  if (withChecksum) {
    auto stream = std::make_unique<TCRCReadStream>(*top, std::move(owner));
    crc = stream.get();
    top = stream.get();
    owner = std::move(stream);
  }
  if (scrambled) {
    auto stream = std::make_unique<TScrambledStream>(*top, std::move(owner));
    top = stream.get();
    owner = std::move(stream);
  }
  const int64_t size = top->Size();
  const std::string text = ReadAll(*top);
  if (crc && !crc->ChecksumMatches())
    throw Exception("Resource " + name + " not valid " + IntToStr(size));
  std::vector<std::string> lines = PublicityLines(text);
  if (lines.empty()) throw Exception("Unsufficient lines in resources");
  return lines;
}

void CheckBitmapFile(const std::string& bytes) {
  // File header (14 bytes), then an information header of at least 40 bytes.
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  auto i32 = [&](size_t at) { return static_cast<int32_t>(u32(at)); };
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
    throw Exception("Picture is not a bitmap");
  const uint32_t headerSize = u32(14);
  const int32_t width = i32(18);
  const int32_t height = i32(22);
  const uint16_t bits = static_cast<uint16_t>(static_cast<uint8_t>(bytes[28]) |
                                              static_cast<uint8_t>(bytes[29]) << 8);
  const uint32_t offset = u32(10);
  if (headerSize < 40 || headerSize > bytes.size() - 14 || width <= 0 || width > 4096 ||
      height == 0 || height < -4096 || height > 4096 ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
    throw Exception("Picture has impossible sizes");
  const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
  if (offset > bytes.size() || stride * rows > bytes.size() - offset)
    throw Exception("Picture has impossible sizes");
}

std::string LoadPublicityPicture(TPublicityResources& resources, int32_t number) {
  const std::optional<std::string> data = resources.Numbered(number);
  if (!data) throw Exception("Resource " + IntToStr(number) + " not found");
  TMemoryStream resource(*data);
  TCRCReadStream stream(resource);
  std::string bytes;
  char piece[128];
  while (stream.Position() < stream.Size()) {
    const size_t n = stream.Read(piece, sizeof piece);
    if (n == 0) break;
    bytes.append(piece, n);
  }
  if (stream.Size() == 0) stream.Read(piece, 0);  // an empty picture still has its checksum
  if (!stream.ChecksumMatches()) throw Exception("Resource " + IntToStr(number) + " not valid");
  CheckBitmapFile(bytes);
  return bytes;
}

const std::vector<std::string>& TPublicity::GetDescriptionLines() {
  if (!lines_) {
    std::vector<std::string> lines = LoadPublicityText(
        owner_.Resources(), "DESCR" + IntToStr(description_), false, false);
    int32_t separator = -1;
    for (size_t i = 0; i < lines.size(); ++i)
      if (Trim(lines[i]) == "-") {
        separator = static_cast<int32_t>(i);
        break;
      }
    if (separator <= 0) throw Exception("Separator is missing in Description for " + name_);
    separator_ = separator;
    lines_ = std::move(lines);
  }
  return *lines_;
}

std::vector<std::string> TPublicity::GetBody() {
  const std::vector<std::string>& lines = GetDescriptionLines();
  return std::vector<std::string>(lines.begin() + separator_ + 1, lines.end());
}

std::string TPublicity::LoadPicture() {
  return LoadPublicityPicture(owner_.Resources(), picture_);
}

TPublicities::TPublicities(TPublicityResources& resources, const std::string& programTitle)
    : resources_(resources) {
  const std::vector<std::string> lines = LoadPublicityText(resources, "INDEX", true, true);
  if (lines.size() % 4 != 0) throw Exception("Incorrect number of lines in resources");
  for (size_t i = 0; i < lines.size(); i += 4) {
    if (SameText(lines[i], programTitle)) continue;
    const std::optional<int32_t> description = TryStrToInt(lines[i + 2]);
    const std::optional<int32_t> picture = TryStrToInt(lines[i + 3]);
    if (!description || !picture)
      throw Exception("'" + (description ? lines[i + 3] : lines[i + 2]) +
                      "' is not a valid integer value");
    entries_.push_back(
        std::make_unique<TPublicity>(*this, lines[i], lines[i + 1], *description, *picture));
  }
}

int TPublicityOrder::Next(int count) {
  if (count <= 0) throw Exception("No entries to show");
  if (!drawn_ || static_cast<int>(order_.size()) != count) {
    order_.clear();
    for (int i = 0; i < count; ++i) order_.push_back(i);
    for (int k = 0; k < 10 * count + 1; ++k) {
      const int a = random_(count);
      const int b = random_(count);
      std::swap(order_[static_cast<size_t>(a)], order_[static_cast<size_t>(b)]);
    }
    position_ = 0;
    drawn_ = true;
  } else {
    ++position_;
  }
  if (position_ < 0 || position_ >= count) position_ = 0;
  return order_[static_cast<size_t>(position_)];
}

}  // namespace kv
