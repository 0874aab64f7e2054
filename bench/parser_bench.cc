// Parser throughput: packets pushed into the ring, cut, checked and dispatched, fed in
// 63-byte pieces as the HID reads deliver them.
#include <benchmark/benchmark.h>

#include <vector>

#include "link/packet.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700 {
namespace {

struct CountingSink : PacketSink {
  void OnPacket(const uint8_t* packet, size_t size) override {
    ++packets;
    bytes += size + packet[4];
  }
  size_t packets = 0;
  size_t bytes = 0;
};

void BM_ParseStream(benchmark::State& state) {
  const size_t payload_size = static_cast<size_t>(state.range(0));
  std::vector<uint8_t> payload(payload_size);
  for (size_t i = 0; i < payload_size; ++i) payload[i] = static_cast<uint8_t>(i * 31);
  std::vector<uint8_t> stream;
  uint8_t packet[kTxPacketCapacity];
  while (stream.size() < 64 * 1024) {
    const size_t n = BuildPacket(0xA5, payload.data(), payload.size(), packet, sizeof(packet));
    stream.insert(stream.end(), packet, packet + n);
  }
  RxRing ring;
  PacketParser parser;
  CountingSink sink;
  for (auto _ : state) {
    for (size_t at = 0; at < stream.size(); at += 63) {
      const size_t n = std::min<size_t>(63, stream.size() - at);
      ring.Push(stream.data() + at, n);
      parser.Run(ring, sink);
    }
  }
  benchmark::DoNotOptimize(sink.bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
  state.counters["packets/s"] =
      benchmark::Counter(static_cast<double>(sink.packets), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseStream)->Arg(4)->Arg(64)->Arg(512)->Arg(1017);

}  // namespace
}  // namespace rq700

BENCHMARK_MAIN();
