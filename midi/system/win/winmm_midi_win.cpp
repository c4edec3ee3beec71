// The multimedia MIDI seam over winmm. Our header records become MIDIHDRs here: each
// prepared record owns one MIDIHDR (its `system` field) from prepare until unprepare, and
// the callback copies what the system wrote back into the record before handing it on.
#include <windows.h>
#include <mmsystem.h>

#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "base/win/wide.h"
#include "midi/system/winmm_midi.h"

namespace kv {

namespace {

constexpr UINT kDrvQueryDeviceInterface = DRV_RESERVED + 12;
constexpr UINT kDrvQueryDeviceInterfaceSize = DRV_RESERVED + 13;

// What one open handle's callback is forwarded to; freed when the handle is closed.
struct TOpenContext {
  TMidiCallback callback = nullptr;
  uintptr_t instance = 0;
};

uint32_t FlagsOf(const MIDIHDR& native) {
  uint32_t flags = 0;
  if (native.dwFlags & MHDR_DONE) flags |= kMidiHdrDone;
  if (native.dwFlags & MHDR_PREPARED) flags |= kMidiHdrPrepared;
  if (native.dwFlags & MHDR_INQUEUE) flags |= kMidiHdrInQueue;
  return flags;
}

// Hands a returned MIDIHDR on as the record it belongs to.
uintptr_t RecordOf(DWORD_PTR param1) {
  auto* native = reinterpret_cast<MIDIHDR*>(param1);
  if (!native) return 0;
  auto* record = reinterpret_cast<TMidiHeader*>(native->dwUser);
  record->bytesRecorded = native->dwBytesRecorded;
  record->flags = FlagsOf(*native);
  return reinterpret_cast<uintptr_t>(record);
}

void CALLBACK MidiOutProc(HMIDIOUT handle, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                          DWORD_PTR param2) {
  auto* context = reinterpret_cast<TOpenContext*>(instance);
  if (!context || !context->callback) return;
  TMidiMsg kind;
  switch (msg) {
    case MOM_OPEN:
      kind = TMidiMsg::OutOpen;
      break;
    case MOM_CLOSE:
      kind = TMidiMsg::OutClose;
      break;
    case MOM_DONE:
      kind = TMidiMsg::OutDone;
      param1 = RecordOf(param1);
      break;
    default:
      return;
  }
  context->callback(reinterpret_cast<TMidiHandle>(handle), kind, context->instance, param1, param2);
}

void CALLBACK MidiInProc(HMIDIIN handle, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2) {
  auto* context = reinterpret_cast<TOpenContext*>(instance);
  if (!context || !context->callback) return;
  TMidiMsg kind;
  switch (msg) {
    case MIM_OPEN:
      kind = TMidiMsg::InOpen;
      break;
    case MIM_CLOSE:
      kind = TMidiMsg::InClose;
      break;
    case MIM_DATA:
      kind = TMidiMsg::InData;
      break;
    case MIM_ERROR:
      kind = TMidiMsg::InError;
      break;
    case MIM_MOREDATA:
      kind = TMidiMsg::InMoreData;
      break;
    case MIM_LONGDATA:
      kind = TMidiMsg::InLongData;
      param1 = RecordOf(param1);
      break;
    case MIM_LONGERROR:
      kind = TMidiMsg::InLongError;
      param1 = RecordOf(param1);
      break;
    default:
      return;
  }
  context->callback(reinterpret_cast<TMidiHandle>(handle), kind, context->instance, param1, param2);
}

std::string DeviceName(const WCHAR* name) {
  return win::Narrow(std::wstring_view(name, wcsnlen(name, MAXPNAMELEN)));
}

class TWinmm final : public TWinmmMidi {
 public:
  uint32_t OutGetNumDevs() override { return midiOutGetNumDevs(); }

  TMmResult OutGetDevName(uint32_t id, std::string& name) override {
    MIDIOUTCAPSW caps{};
    const MMRESULT r = midiOutGetDevCapsW(id, &caps, sizeof caps);
    if (r == MMSYSERR_NOERROR) name = DeviceName(caps.szPname);
    return r;
  }

  TMmResult OutQueryInterfaceSize(uint32_t id, uint32_t& bytes) override {
    ULONG size = 0;
    const MMRESULT r =
        midiOutMessage(reinterpret_cast<HMIDIOUT>(static_cast<UINT_PTR>(id)),
                       kDrvQueryDeviceInterfaceSize, reinterpret_cast<DWORD_PTR>(&size), 0);
    bytes = size;
    return r;
  }

  TMmResult OutQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override {
    std::vector<WCHAR> buffer(bytes / sizeof(WCHAR) + 1, L'\0');
    const MMRESULT r =
        midiOutMessage(reinterpret_cast<HMIDIOUT>(static_cast<UINT_PTR>(id)),
                       kDrvQueryDeviceInterface, reinterpret_cast<DWORD_PTR>(buffer.data()), bytes);
    buffer.back() = L'\0';
    if (r == MMSYSERR_NOERROR) path = win::Narrow(std::wstring_view(buffer.data()));
    return r;
  }

  TMmResult OutOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                    uintptr_t instance) override {
    auto context = std::make_unique<TOpenContext>(TOpenContext{callback, instance});
    HMIDIOUT h = nullptr;
    const MMRESULT r = midiOutOpen(&h, id, reinterpret_cast<DWORD_PTR>(&MidiOutProc),
                                   reinterpret_cast<DWORD_PTR>(context.get()), CALLBACK_FUNCTION);
    if (r != MMSYSERR_NOERROR) return r;
    handle = reinterpret_cast<TMidiHandle>(h);
    Keep(handle, std::move(context));
    return r;
  }

  TMmResult OutClose(TMidiHandle handle) override {
    const MMRESULT r = midiOutClose(reinterpret_cast<HMIDIOUT>(handle));
    if (r == MMSYSERR_NOERROR) Forget(handle);
    return r;
  }

  TMmResult OutReset(TMidiHandle handle) override {
    return midiOutReset(reinterpret_cast<HMIDIOUT>(handle));
  }

  TMmResult OutShortMsg(TMidiHandle handle, uint32_t message) override {
    return midiOutShortMsg(reinterpret_cast<HMIDIOUT>(handle), message);
  }

  TMmResult OutPrepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Prepare(header, [&](MIDIHDR* native) {
      return midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(handle), native, sizeof *native);
    });
  }

  TMmResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Unprepare(header, [&](MIDIHDR* native) {
      return midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(handle), native, sizeof *native);
    });
  }

  TMmResult OutLongMsg(TMidiHandle handle, TMidiHeader& header) override {
    auto* native = static_cast<MIDIHDR*>(header.system);
    if (!native) return MIDIERR_UNPREPARED;
    return midiOutLongMsg(reinterpret_cast<HMIDIOUT>(handle), native, sizeof *native);
  }

  bool OutGetErrorText(TMmResult code, std::string& text) override {
    WCHAR buffer[MAXERRORLENGTH + 1] = {};
    if (midiOutGetErrorTextW(code, buffer, MAXERRORLENGTH) != MMSYSERR_NOERROR) return false;
    buffer[MAXERRORLENGTH] = L'\0';
    text = win::Narrow(std::wstring_view(buffer));
    return true;
  }

  uint32_t InGetNumDevs() override { return midiInGetNumDevs(); }

  TMmResult InGetDevName(uint32_t id, std::string& name) override {
    MIDIINCAPSW caps{};
    const MMRESULT r = midiInGetDevCapsW(id, &caps, sizeof caps);
    if (r == MMSYSERR_NOERROR) name = DeviceName(caps.szPname);
    return r;
  }

  TMmResult InQueryInterfaceSize(uint32_t id, uint32_t& bytes) override {
    ULONG size = 0;
    const MMRESULT r =
        midiInMessage(reinterpret_cast<HMIDIIN>(static_cast<UINT_PTR>(id)),
                      kDrvQueryDeviceInterfaceSize, reinterpret_cast<DWORD_PTR>(&size), 0);
    bytes = size;
    return r;
  }

  TMmResult InQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override {
    std::vector<WCHAR> buffer(bytes / sizeof(WCHAR) + 1, L'\0');
    const MMRESULT r =
        midiInMessage(reinterpret_cast<HMIDIIN>(static_cast<UINT_PTR>(id)),
                      kDrvQueryDeviceInterface, reinterpret_cast<DWORD_PTR>(buffer.data()), bytes);
    buffer.back() = L'\0';
    if (r == MMSYSERR_NOERROR) path = win::Narrow(std::wstring_view(buffer.data()));
    return r;
  }

  TMmResult InOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                   uintptr_t instance) override {
    auto context = std::make_unique<TOpenContext>(TOpenContext{callback, instance});
    HMIDIIN h = nullptr;
    const MMRESULT r =
        midiInOpen(&h, id, reinterpret_cast<DWORD_PTR>(&MidiInProc),
                   reinterpret_cast<DWORD_PTR>(context.get()), CALLBACK_FUNCTION | MIDI_IO_STATUS);
    if (r != MMSYSERR_NOERROR) return r;
    handle = reinterpret_cast<TMidiHandle>(h);
    Keep(handle, std::move(context));
    return r;
  }

  TMmResult InClose(TMidiHandle handle) override {
    const MMRESULT r = midiInClose(reinterpret_cast<HMIDIIN>(handle));
    if (r == MMSYSERR_NOERROR) Forget(handle);
    return r;
  }

  TMmResult InReset(TMidiHandle handle) override {
    return midiInReset(reinterpret_cast<HMIDIIN>(handle));
  }
  TMmResult InStart(TMidiHandle handle) override {
    return midiInStart(reinterpret_cast<HMIDIIN>(handle));
  }
  TMmResult InStop(TMidiHandle handle) override {
    return midiInStop(reinterpret_cast<HMIDIIN>(handle));
  }

  TMmResult InPrepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Prepare(header, [&](MIDIHDR* native) {
      return midiInPrepareHeader(reinterpret_cast<HMIDIIN>(handle), native, sizeof *native);
    });
  }

  TMmResult InUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Unprepare(header, [&](MIDIHDR* native) {
      return midiInUnprepareHeader(reinterpret_cast<HMIDIIN>(handle), native, sizeof *native);
    });
  }

  TMmResult InAddBuffer(TMidiHandle handle, TMidiHeader& header) override {
    auto* native = static_cast<MIDIHDR*>(header.system);
    if (!native) return MIDIERR_UNPREPARED;
    return midiInAddBuffer(reinterpret_cast<HMIDIIN>(handle), native, sizeof *native);
  }

  bool InGetErrorText(TMmResult code, std::string& text) override {
    WCHAR buffer[MAXERRORLENGTH + 1] = {};
    if (midiInGetErrorTextW(code, buffer, MAXERRORLENGTH) != MMSYSERR_NOERROR) return false;
    buffer[MAXERRORLENGTH] = L'\0';
    text = win::Narrow(std::wstring_view(buffer));
    return true;
  }

 private:
  template <typename Call>
  static TMmResult Prepare(TMidiHeader& header, Call call) {
    if (header.system) return MMSYSERR_NOERROR;  // already prepared
    auto native = std::make_unique<MIDIHDR>();
    native->lpData = reinterpret_cast<LPSTR>(header.data);
    native->dwBufferLength = header.bufferLength;
    native->dwUser = reinterpret_cast<DWORD_PTR>(&header);
    const MMRESULT r = call(native.get());
    if (r != MMSYSERR_NOERROR) return r;
    header.flags |= kMidiHdrPrepared;
    header.system = native.release();  // owned by the record until Unprepare
    return r;
  }

  template <typename Call>
  static TMmResult Unprepare(TMidiHeader& header, Call call) {
    auto* native = static_cast<MIDIHDR*>(header.system);
    if (!native) return MMSYSERR_NOERROR;
    const MMRESULT r = call(native);
    if (r != MMSYSERR_NOERROR) return r;
    std::unique_ptr<MIDIHDR> owned(native);
    header.system = nullptr;
    header.flags &= ~kMidiHdrPrepared;
    return r;
  }

  void Keep(TMidiHandle handle, std::unique_ptr<TOpenContext> context) {
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_[handle] = std::move(context);
  }
  void Forget(TMidiHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_.erase(handle);
  }

  std::mutex mutex_;  // guards contexts_
  std::map<TMidiHandle, std::unique_ptr<TOpenContext>> contexts_;
};

}  // namespace

TWinmmMidi& DefaultWinmmMidi() {
  static TWinmm winmm;
  return winmm;
}

}  // namespace kv
