// Virtual-port traffic through the shared rings over the stand-in bus: short messages and
// near-64 KB SysEx, sent and received. The receive path must not allocate: every benchmark
// that receives reports its allocations per message, which must stay 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "vmplib/standin/standin_bus.h"
#include "vmplib/vmplib.h"

namespace {

std::atomic<uint64_t> g_allocations{0};

}  // namespace

// Counting replacements of the global allocation functions; malloc and free underneath.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace {

using kv::vmpl::TStandInBusScope;

VMPL_PortInfo* AddAndGet(uint32_t type, const char16_t* device) {
  VMPL_PortDesc d{};
  d.version = VMPL_VERSION;
  d.type = type;
  d.deviceName = device;
  d.outName = u"Bench out";
  d.inName = u"Bench in";
  VMPL_AddPort(&d);
  VMPL_PortInfo* info = nullptr;
  VMPL_GetPortInfo(VMPL_GetPortCount() - 1, &info);
  return info;
}

void BM_SendShort(benchmark::State& state) {
  TStandInBusScope bus;
  bus->SetKeepSent(false);
  VMPL_PortInfo* info = AddAndGet(VMPL_PORT_OUTPUT, u"benchOut");
  VMPL_Handle h = 0;
  VMPL_Connect(info, &h);
  for (auto _ : state) benchmark::DoNotOptimize(VMPL_SendShort(h, 0x7F3C90));
  state.SetItemsProcessed(state.iterations());
  VMPL_Disconnect(h);
  VMPL_DestroyInfo(info);
}
BENCHMARK(BM_SendShort);

void BM_ReceiveShort(benchmark::State& state) {
  TStandInBusScope bus;
  VMPL_PortInfo* info = AddAndGet(VMPL_PORT_INPUT, u"benchIn");
  VMPL_Handle h = 0;
  VMPL_Connect(info, &h);
  constexpr int kBatch = 1000;  // 32 bytes a record: the batch fits the ring
  VMPL_Message m{};
  uint64_t allocations = 0, received = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < kBatch; ++i) bus->InjectShort(0, 0x7F3C90, 3, i);
    state.ResumeTiming();
    const uint64_t before = g_allocations.load();
    for (int i = 0; i < kBatch; ++i) benchmark::DoNotOptimize(VMPL_Receive(h, &m));
    allocations += g_allocations.load() - before;
    received += kBatch;
  }
  state.SetItemsProcessed(int64_t(received));
  state.counters["allocs_per_receive"] = double(allocations) / double(received);
  VMPL_Disconnect(h);
  VMPL_DestroyInfo(info);
}
BENCHMARK(BM_ReceiveShort);

// One port joined to itself by a cable: each SysEx goes out through the output ring and comes
// back through the input ring.
void BM_SysExLoopback(benchmark::State& state) {
  TStandInBusScope bus;
  bus->SetKeepSent(false);
  VMPL_PortInfo* info = AddAndGet(VMPL_PORT_BOTH, u"benchBoth");
  bus->Cable(0, 0);
  VMPL_Handle h = 0;
  VMPL_Connect(info, &h);
  const size_t n = size_t(state.range(0));
  std::vector<uint8_t> sysex(n, 0x55), buffer(n);
  sysex.front() = 0xF0;
  sysex.back() = 0xF7;
  VMPL_Message m{};
  uint64_t allocations = 0;
  for (auto _ : state) {
    VMPL_SendLong(h, sysex.data(), uint32_t(n));
    m.buffer = buffer.data();
    m.capacity = uint32_t(buffer.size());
    const uint64_t before = g_allocations.load();
    benchmark::DoNotOptimize(VMPL_Receive(h, &m));
    allocations += g_allocations.load() - before;
  }
  state.SetBytesProcessed(int64_t(state.iterations() * n));
  state.SetItemsProcessed(state.iterations());
  state.counters["allocs_per_receive"] = double(allocations) / double(state.iterations());
  VMPL_Disconnect(h);
  VMPL_DestroyInfo(info);
}
BENCHMARK(BM_SysExLoopback)->Arg(256)->Arg(65000);

}  // namespace
