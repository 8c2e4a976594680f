// What one opened file costs in memory: the heap blocks that one header
// object holds after loading the standard header with the sample tag
// configuration, and the allocations the load makes on the way. The global
// allocation functions are replaced to count them; the in-memory tag
// configuration's own allocations are left out, since on Windows the
// private-profile functions work inside the runtime instead; the answers
// the process's configuration store keeps are made by a first load, which
// is not counted.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "bench/standard_header.h"
#include "cals/cals_header.h"
#include "cals/tag_config_store.h"

namespace {

// Counters of the replaced allocation functions; this program runs one
// thread.
struct HeapCounters {
  bool counting = false;
  long long blocks = 0;       // allocations made while counting
  long long bytes = 0;        // bytes asked for while counting
  long long liveBlocks = 0;   // blocks made while counting and not yet freed
  long long liveBytes = 0;    // their bytes as asked for
  long long liveUsable = 0;   // their bytes as the C library hands them out
};

HeapCounters& Counters() {
  static HeapCounters counters;
  return counters;
}

// Marks blocks made while counting, so that frees of other blocks are not
// subtracted. The tag sits in front of the block.
constexpr std::size_t kTagSize = alignof(std::max_align_t);
constexpr unsigned kCountedTag = 0xC0C0C0C0u;

void* Allocate(std::size_t size) {
  HeapCounters& c = Counters();
  auto* raw = static_cast<unsigned char*>(std::malloc(size + kTagSize));
  if (raw == nullptr) throw std::bad_alloc();
  const bool counted = c.counting;
  *reinterpret_cast<unsigned*>(raw) = counted ? kCountedTag : 0;
  *reinterpret_cast<std::size_t*>(raw + sizeof(unsigned) * 2) = size;
  if (counted) {
    ++c.blocks;
    c.bytes += static_cast<long long>(size);
    ++c.liveBlocks;
    c.liveBytes += static_cast<long long>(size);
    c.liveUsable += static_cast<long long>(malloc_usable_size(raw) - kTagSize);
  }
  return raw + kTagSize;
}

void Release(void* block) {
  if (block == nullptr) return;
  auto* raw = static_cast<unsigned char*>(block) - kTagSize;
  if (*reinterpret_cast<unsigned*>(raw) == kCountedTag) {
    HeapCounters& c = Counters();
    --c.liveBlocks;
    c.liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(raw + sizeof(unsigned) * 2));
    c.liveUsable -= static_cast<long long>(malloc_usable_size(raw) - kTagSize);
  }
  std::free(raw);
}

// Stops counting while the in-memory configuration answers.
class UncountedConfig final : public cals::TagConfig {
 public:
  explicit UncountedConfig(cals::TagConfig& inner) : inner_(inner) {}
  int ReadInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
              int defaultValue) override {
    const Pause pause;
    return inner_.ReadInt(file, section, key, defaultValue);
  }
  std::u16string ReadString(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                            const std::u16string& defaultValue, std::size_t capacity) override {
    std::u16string value;
    {
      const Pause pause;
      value = inner_.ReadString(file, section, key, defaultValue, capacity);
    }
    // The text handed back is the core's to keep or drop, as on Windows.
    return std::u16string(value);
  }
  cals::ConfigFileIdentity Identify(const std::u16string& file) override {
    const Pause pause;
    return inner_.Identify(file);
  }
  std::int64_t Now() override { return inner_.Now(); }

 private:
  struct Pause {
    bool was = Counters().counting;
    Pause() { Counters().counting = false; }
    ~Pause() { Counters().counting = was; }
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;
  };
  cals::TagConfig& inner_;
};

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }

int main() {
  testing_support::HeaderRig rig;
  bench::PrepareStandardHeader(rig);
  // A configuration file written long ago, so that the store keeps its
  // answers, as the plug-in's process does.
  rig.config.identity = cals::ConfigFileIdentity{true, true, 0x20, 2048, 0, 0};
  rig.config.now = 3600LL * 10'000'000;
  UncountedConfig config(rig.config);
  cals::TagConfigStore store;
  const cals::HeaderPlatform platform{&rig.codec, &rig.files, &config, &rig.installation, &store};

  // A first load outside the count makes what the core makes once per
  // process (its constant section keys, the store's answers), which no
  // opened file holds.
  {
    cals::CalsHeader warmUp(platform);
    if (!cals::Succeeded(warmUp.LoadHeader(bench::kStandardFile))) {
      std::fprintf(stderr, "header_memory: the standard header did not load\n");
      return 1;
    }
  }

  HeapCounters& c = Counters();
  c = HeapCounters{};
  c.counting = true;
  auto* header = new cals::CalsHeader(platform);
  const cals::Status status = header->LoadHeader(bench::kStandardFile);
  c.counting = false;
  if (!cals::Succeeded(status)) {
    std::fprintf(stderr, "header_memory: the standard header did not load (0x%08X)\n", static_cast<unsigned>(status));
    return 1;
  }
  std::size_t tags = header->tagFinder.tags().size();
  std::size_t subTags = 0;
  for (const cals::Tag& tag : header->tagFinder.tags()) subTags += tag.subTags.size();

  std::printf("object_size %zu\n", sizeof(cals::CalsHeader));
  std::printf("tags %zu\nsub_tags %zu\n", tags, subTags);
  std::printf("live_blocks %lld\nlive_bytes %lld\nlive_usable_bytes %lld\n", c.liveBlocks, c.liveBytes,
              c.liveUsable);
  std::printf("load_allocations %lld\nload_allocated_bytes %lld\n", c.blocks, c.bytes);

  c.counting = true;
  delete header;
  c.counting = false;
  std::printf("blocks_left_after_delete %lld\n", c.liveBlocks);
  return c.liveBlocks == 0 ? 0 : 1;
}
