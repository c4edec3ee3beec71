// The multimedia MIDI seam over winmm. Our header records become MIDIHDRs here: each
// prepared record owns one MIDIHDR (its `system` field) from prepare until unprepare, and
// the callback copies what the system wrote back into the record before handing it on.
#include <windows.h>
#include <mmsystem.h>

#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <span>
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

// What a winmm callback message is in our terms; header messages carry the MIDIHDR in param1.
struct TMsgKind {
  UINT msg;
  TMidiMsg kind;
  bool header;
};

constexpr TMsgKind kOutKinds[] = {
    {MOM_OPEN, TMidiMsg::OutOpen, false},
    {MOM_CLOSE, TMidiMsg::OutClose, false},
    {MOM_DONE, TMidiMsg::OutDone, true},
};

constexpr TMsgKind kInKinds[] = {
    {MIM_OPEN, TMidiMsg::InOpen, false},
    {MIM_CLOSE, TMidiMsg::InClose, false},
    {MIM_DATA, TMidiMsg::InData, false},
    {MIM_ERROR, TMidiMsg::InError, false},
    {MIM_MOREDATA, TMidiMsg::InMoreData, false},
    {MIM_LONGDATA, TMidiMsg::InLongData, true},
    {MIM_LONGERROR, TMidiMsg::InLongError, true},
};

// Hands a callback message on to the open handle's callback; other messages are dropped.
void Forward(std::span<const TMsgKind> kinds, TMidiHandle handle, UINT msg, DWORD_PTR instance,
             DWORD_PTR param1, DWORD_PTR param2) {
  auto* context = reinterpret_cast<TOpenContext*>(instance);
  if (!context || !context->callback) return;
  for (const TMsgKind& k : kinds) {
    if (k.msg != msg) continue;
    if (k.header) param1 = RecordOf(param1);
    context->callback(handle, k.kind, context->instance, param1, param2);
    return;
  }
}

void CALLBACK MidiOutProc(HMIDIOUT handle, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                          DWORD_PTR param2) {
  Forward(kOutKinds, reinterpret_cast<TMidiHandle>(handle), msg, instance, param1, param2);
}

void CALLBACK MidiInProc(HMIDIIN handle, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2) {
  Forward(kInKinds, reinterpret_cast<TMidiHandle>(handle), msg, instance, param1, param2);
}

std::string DeviceName(const WCHAR* name) {
  return win::Narrow(std::wstring_view(name, wcsnlen(name, MAXPNAMELEN)));
}

// A winmm header call bound to the handle, for the header helpers of TWinmm.
template <typename Handle, typename HeaderCall>
auto OnHandle(HeaderCall call, TMidiHandle handle) {
  return [call, handle](MIDIHDR* native) {
    return call(reinterpret_cast<Handle>(handle), native, sizeof *native);
  };
}

// The output and input calls are the same but for the winmm function they make, its handle
// type and the open flags, so each call and its twin stand side by side over one helper.
class TWinmm final : public TWinmmMidi {
 public:
  uint32_t OutGetNumDevs() override { return midiOutGetNumDevs(); }
  uint32_t InGetNumDevs() override { return midiInGetNumDevs(); }

  TMmResult OutGetDevName(uint32_t id, std::string& name) override {
    return GetDevName<MIDIOUTCAPSW>(midiOutGetDevCapsW, id, name);
  }
  TMmResult InGetDevName(uint32_t id, std::string& name) override {
    return GetDevName<MIDIINCAPSW>(midiInGetDevCapsW, id, name);
  }

  TMmResult OutQueryInterfaceSize(uint32_t id, uint32_t& bytes) override {
    return QueryInterfaceSize<HMIDIOUT>(midiOutMessage, id, bytes);
  }
  TMmResult InQueryInterfaceSize(uint32_t id, uint32_t& bytes) override {
    return QueryInterfaceSize<HMIDIIN>(midiInMessage, id, bytes);
  }

  TMmResult OutQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override {
    return QueryInterface<HMIDIOUT>(midiOutMessage, id, bytes, path);
  }
  TMmResult InQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override {
    return QueryInterface<HMIDIIN>(midiInMessage, id, bytes, path);
  }

  TMmResult OutOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                    uintptr_t instance) override {
    return Open<HMIDIOUT>(handle, callback, instance, [id](HMIDIOUT* h, DWORD_PTR context) {
      return midiOutOpen(h, id, reinterpret_cast<DWORD_PTR>(&MidiOutProc), context,
                         CALLBACK_FUNCTION);
    });
  }
  TMmResult InOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                   uintptr_t instance) override {
    return Open<HMIDIIN>(handle, callback, instance, [id](HMIDIIN* h, DWORD_PTR context) {
      return midiInOpen(h, id, reinterpret_cast<DWORD_PTR>(&MidiInProc), context,
                        CALLBACK_FUNCTION | MIDI_IO_STATUS);
    });
  }

  TMmResult OutClose(TMidiHandle handle) override {
    return Closed(handle, midiOutClose(reinterpret_cast<HMIDIOUT>(handle)));
  }
  TMmResult InClose(TMidiHandle handle) override {
    return Closed(handle, midiInClose(reinterpret_cast<HMIDIIN>(handle)));
  }

  TMmResult OutReset(TMidiHandle handle) override {
    return midiOutReset(reinterpret_cast<HMIDIOUT>(handle));
  }
  TMmResult InReset(TMidiHandle handle) override {
    return midiInReset(reinterpret_cast<HMIDIIN>(handle));
  }

  TMmResult OutShortMsg(TMidiHandle handle, uint32_t message) override {
    return midiOutShortMsg(reinterpret_cast<HMIDIOUT>(handle), message);
  }

  TMmResult InStart(TMidiHandle handle) override {
    return midiInStart(reinterpret_cast<HMIDIIN>(handle));
  }
  TMmResult InStop(TMidiHandle handle) override {
    return midiInStop(reinterpret_cast<HMIDIIN>(handle));
  }

  TMmResult OutPrepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Prepare(header, OnHandle<HMIDIOUT>(midiOutPrepareHeader, handle));
  }
  TMmResult InPrepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Prepare(header, OnHandle<HMIDIIN>(midiInPrepareHeader, handle));
  }

  TMmResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Unprepare(header, OnHandle<HMIDIOUT>(midiOutUnprepareHeader, handle));
  }
  TMmResult InUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return Unprepare(header, OnHandle<HMIDIIN>(midiInUnprepareHeader, handle));
  }

  TMmResult OutLongMsg(TMidiHandle handle, TMidiHeader& header) override {
    return Queue(header, OnHandle<HMIDIOUT>(midiOutLongMsg, handle));
  }
  TMmResult InAddBuffer(TMidiHandle handle, TMidiHeader& header) override {
    return Queue(header, OnHandle<HMIDIIN>(midiInAddBuffer, handle));
  }

  bool OutGetErrorText(TMmResult code, std::string& text) override {
    return GetErrorText(midiOutGetErrorTextW, code, text);
  }
  bool InGetErrorText(TMmResult code, std::string& text) override {
    return GetErrorText(midiInGetErrorTextW, code, text);
  }

 private:
  template <typename Caps, typename GetCaps>
  static TMmResult GetDevName(GetCaps getCaps, uint32_t id, std::string& name) {
    Caps caps{};
    const MMRESULT r = getCaps(id, &caps, sizeof caps);
    if (r == MMSYSERR_NOERROR) name = DeviceName(caps.szPname);
    return r;
  }

  // The driver queries go to the device id passed where a handle would be.
  template <typename Handle, typename Message>
  static TMmResult QueryInterfaceSize(Message message, uint32_t id, uint32_t& bytes) {
    ULONG size = 0;
    const MMRESULT r = message(reinterpret_cast<Handle>(static_cast<UINT_PTR>(id)),
                               kDrvQueryDeviceInterfaceSize, reinterpret_cast<DWORD_PTR>(&size), 0);
    bytes = size;
    return r;
  }

  template <typename Handle, typename Message>
  static TMmResult QueryInterface(Message message, uint32_t id, uint32_t bytes,
                                  std::string& path) {
    std::vector<WCHAR> buffer(bytes / sizeof(WCHAR) + 1, L'\0');
    const MMRESULT r =
        message(reinterpret_cast<Handle>(static_cast<UINT_PTR>(id)), kDrvQueryDeviceInterface,
                reinterpret_cast<DWORD_PTR>(buffer.data()), bytes);
    buffer.back() = L'\0';
    if (r == MMSYSERR_NOERROR) path = win::Narrow(std::wstring_view(buffer.data()));
    return r;
  }

  // The context lives from a successful open until the close succeeds, since callbacks may
  // come until then.
  template <typename Handle, typename OpenCall>
  TMmResult Open(TMidiHandle& handle, TMidiCallback callback, uintptr_t instance,
                 OpenCall open) {
    auto context = std::make_unique<TOpenContext>(TOpenContext{callback, instance});
    Handle h = nullptr;
    const MMRESULT r = open(&h, reinterpret_cast<DWORD_PTR>(context.get()));
    if (r != MMSYSERR_NOERROR) return r;
    handle = reinterpret_cast<TMidiHandle>(h);
    Keep(handle, std::move(context));
    return r;
  }

  TMmResult Closed(TMidiHandle handle, MMRESULT r) {
    if (r == MMSYSERR_NOERROR) Forget(handle);
    return r;
  }

  template <typename GetText>
  static bool GetErrorText(GetText getText, TMmResult code, std::string& text) {
    WCHAR buffer[MAXERRORLENGTH + 1] = {};
    if (getText(code, buffer, MAXERRORLENGTH) != MMSYSERR_NOERROR) return false;
    buffer[MAXERRORLENGTH] = L'\0';
    text = win::Narrow(std::wstring_view(buffer));
    return true;
  }

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

  // Sends or queues a prepared header.
  template <typename Call>
  static TMmResult Queue(TMidiHeader& header, Call call) {
    auto* native = static_cast<MIDIHDR*>(header.system);
    if (!native) return MIDIERR_UNPREPARED;
    return call(native);
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
