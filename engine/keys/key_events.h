#pragma once
// Keystrokes as ordered lists of key events: the key record decoded from a keyboard message
// (TKeyData), one key going down or up (TKeyEvent), and an ordered list of them with its
// stored text form "KSQ1", its display text, recording and playback (TKeySequence).
//
// The key-input watcher, the keyboard hook of the key-recording edit and the engine's
// keystroke events hand TKeyData on; the keystroke action and the key edit hold sequences.
// Naming and playback go through the key seam (engine/system/key_system.h).
//
// Thread: a sequence is not locked. It is changed only on the main thread (loading, the key
// edit); other threads only read or play it while its owner keeps it alive and unchanged.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/system/key_table.h"

namespace kv {

// The decoded keyboard message. A plain record of 16 bytes at most, so that it travels in
// the incoming event's key data (four 32-bit words).
struct TKeyData {
  int32_t repeatCount = 0;    // bits 0-15 of the flags word
  uint8_t scanCode = 0;       // bits 16-23
  uint8_t extended = 0;       // bit 24
  uint8_t context = 0;        // bit 29: Alt held
  uint8_t previousState = 0;  // bit 30: the key was down before
  uint8_t transition = 0;     // bit 31: the key is being released
  uint8_t virtualKey = 0;     // kept when the caller set it, else mapped from the scan code
  uint8_t charLength = 0;     // 1 when the key gives a character, else 0
  char character = 0;
  uint8_t deadKey = 0;  // the character mapping's high bit

  bool IsKeyUp() const { return previousState != 0 && transition != 0; }
  bool IsFirstKeyDown() const { return previousState == 0 && transition == 0; }
  std::string CharacterText() const { return std::string(charLength, character); }
};
static_assert(sizeof(TKeyData) <= 16, "TKeyData must fit the event's key data");

// The record as the event's four words, and back.
void KeyDataToWords(const TKeyData& data, uint32_t (&words)[4]);
TKeyData KeyDataFromWords(const uint32_t (&words)[4]);

// Fills the record from a keyboard message's flags word; the virtual key must be set by the
// caller or be 0 (then it is mapped from the scan code).
void DecodeKeyMessage(TKeyData& record, uint32_t flags);

class TKeyEvent {
 public:
  // Key-code bits of the stored form.
  static constexpr uint32_t kCodeExtended = 0x100;
  static constexpr uint32_t kCodeKeyUp = 0x200;
  static constexpr uint32_t kCodeScanMode = 0x400;

  // From a key record: key up when previous state and transition are both set; scan mode
  // when the virtual key is 255 and the scan code is not 0.
  explicit TKeyEvent(const TKeyData& record);
  TKeyEvent(uint16_t virtualKey, bool scanMode, bool keyUp, bool extended, uint16_t scanCode);
  // Reads and removes the first 3 characters of text (a key code). Throws kv::Exception
  // "Key wrong format" when they are not hexadecimal.
  static TKeyEvent CreateFromText(std::string& text);

  uint16_t VirtualKey() const { return virtualKey_; }
  uint16_t ScanCode() const { return scanCode_; }
  bool Extended() const { return extended_; }
  bool KeyUp() const { return keyUp_; }
  bool ScanMode() const { return scanMode_; }
  const std::string& Name() const { return name_; }

  // The 3-digit key code, upper case.
  std::string KeyCodeText() const;
  enum class TSendAs { AsIs, Down, Up };
  // Sends this event through the key seam, as it is or forced down or up.
  void Send(TSendAs as) const;

  // Same key: the virtual keys when a's is neither 0 nor 255, else the scan codes; and the
  // extended flags.
  static bool SameKey(const TKeyEvent& a, const TKeyEvent& b);
  static bool SameKey(const TKeyEvent& a, const TKeyData& b);

 private:
  void UpdateName();

  uint16_t virtualKey_ = 0;  // 255 (or 0) when the key is identified by its scan code
  uint16_t scanCode_ = 0;
  bool extended_ = false;
  bool keyUp_ = false;
  std::string name_;
  bool scanMode_ = false;
};

class TKeySequence {
 public:
  using TKeyList = std::vector<TKeyEvent>;

  TKeySequence() = default;
  virtual ~TKeySequence() = default;
  TKeySequence(const TKeySequence&) = delete;
  TKeySequence& operator=(const TKeySequence&) = delete;

  // Copies the single-key flag and every event; OnChange is not copied.
  virtual void Assign(const TKeySequence& source);
  // Copies every event and keeps this sequence's own single-key flag.
  void AssignKeys(const TKeySequence& source);
  // "KSQ1", the count as 4 upper-case hexadecimal digits, then each event's key code.
  virtual std::string SaveToText() const;
  // Reads "KSQ1" or the legacy "Key " form; returns the characters used. Throws
  // kv::Exception "The String is not a Key Sequence!" or "Key wrong format"; the list is
  // replaced only when every key code was read.
  virtual size_t LoadFromText(std::string_view text);
  // Shift down, A down, A up, Shift up reads "Shift(A )".
  virtual std::string GetDisplayText() const;
  // Plays every event and releases whatever is still held at the end; true.
  virtual bool Play() const;
  virtual std::unique_ptr<TKeySequence> Clone() const;

  // Adds an event made from the record unless it is an auto-repeated key-down.
  void RecordKey(const TKeyData& record);
  // In single-key mode a key-down first empties the list and a key-up is not added.
  void AddKey(const TKeyEvent& event);
  // Removes the last key-down and, after it, the last key-up of the same key.
  void DeleteLastKey();
  void Clear();
  int GetCount() const { return static_cast<int>(keys_.size()); }
  const TKeyList& Keys() const { return keys_; }

  bool SingleKey() const { return singleKey_; }
  // Switched on with keys present: only the first event is kept, made a key-down.
  void SetSingleKey(bool singleKey);

  // Key-down / key-up of the first event only; false when the sequence is empty.
  bool PressFirstKey() const;
  bool ReleaseFirstKey() const;

  // Called with the sequence after every change.
  std::function<void(TKeySequence&)> OnChange;

 private:
  void Changed();

  TKeyList keys_;
  bool singleKey_ = false;
};

// Sends every event of the list and then releases, last first, each key still held.
void PlayKeys(const TKeySequence::TKeyList& keys);

}  // namespace kv
