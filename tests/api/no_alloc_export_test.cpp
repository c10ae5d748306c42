// Proves that a steady-state export allocates nothing: this program replaces the global
// allocation functions with counting ones (and, without sanitizers, the C allocator too) and
// counts around exports on every path.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <cstdlib>
#include <new>
#include <vector>

#include "hvsim_control.h"
#include "korvex.h"

namespace {

std::atomic<long> allocations{0};

void* Counted(std::size_t bytes) {
    allocations.fetch_add(1);
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* CountedNothrow(std::size_t bytes) noexcept {
    allocations.fetch_add(1);
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* CountedAligned(std::size_t bytes, std::align_val_t align) noexcept {
    allocations.fetch_add(1);
    const std::size_t a = static_cast<std::size_t>(align);
    return std::aligned_alloc(a, (bytes + a - 1) / a * a + (bytes == 0 ? a : 0));
}

void* Checked(void* p) {
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

// Every replaceable form, so that each allocation and its release meet the same allocator.
void* operator new(std::size_t bytes) { return Counted(bytes); }
void* operator new[](std::size_t bytes) { return Counted(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return CountedNothrow(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return CountedNothrow(bytes); }
void* operator new(std::size_t bytes, std::align_val_t a) { return Checked(CountedAligned(bytes, a)); }
void* operator new[](std::size_t bytes, std::align_val_t a) { return Checked(CountedAligned(bytes, a)); }
void* operator new(std::size_t bytes, std::align_val_t a, const std::nothrow_t&) noexcept {
    return CountedAligned(bytes, a);
}
void* operator new[](std::size_t bytes, std::align_val_t a, const std::nothrow_t&) noexcept {
    return CountedAligned(bytes, a);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The C allocator as well, through glibc's own entry points (sanitizers keep theirs).
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t bytes) {
    allocations.fetch_add(1);
    return __libc_malloc(bytes);
}
void* calloc(std::size_t count, std::size_t bytes) {
    allocations.fetch_add(1);
    return __libc_calloc(count, bytes);
}
void* realloc(void* p, std::size_t bytes) {
    allocations.fetch_add(1);
    return __libc_realloc(p, bytes);
}
}
#endif

namespace {

class NoAllocExport : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/korvex-noalloc-XXXXXX";  // the settings file goes here, not $HOME
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        setenv("KORVEX_CONFIG_DIR", folder, 1);
        hvsim_reset();
        hvsim_set_manual_frames(1);
        ASSERT_EQ(ZqOpenDevice(2), 1);  // colour camera 1, mono camera 2
        ASSERT_EQ(ZqAllocateResources(), 1);
        ZqSetTimeout(1000);
    }
    void TearDown() override {
        ZqCloseDevice();
        hvsim_reset();
        std::remove((folder_ + "/Korvex.ini").c_str());
        rmdir(folder_.c_str());
    }
    std::string folder_;
    // Allocations made by one 640x480 export on device, after a warm-up export.
    static long CountAround(int16_t device, int16_t colour, int capture) {
        std::vector<uint8_t> out(640 * 480 * 4);
        if (capture) {
            EXPECT_EQ(hvsim_deliver_frames(device, 1), 1);
        }
        EXPECT_EQ(ZqExportImageData(device, out.data(), 640, 480, colour, 1), 1);
        if (capture) {
            EXPECT_EQ(hvsim_deliver_frames(device, 1), 1);
        }
        const long before = allocations.load();
        EXPECT_EQ(ZqExportImageData(device, out.data(), 640, 480, colour, 2), 1);
        return allocations.load() - before;
    }
};

TEST_F(NoAllocExport, CounterSeesAllocations) {
    const long before = allocations.load();
    delete new int(3);
    std::free(std::malloc(16));
    EXPECT_GE(allocations.load() - before, 1);
}

TEST_F(NoAllocExport, IdleExportsOnEveryPath) {
    for (int16_t cross : {int16_t{0}, int16_t{1}}) {
        ZqEnableCross(0, cross);
        ZqSetCrossPara(0, 10, 10, 300, 200, 5);
        EXPECT_EQ(CountAround(1, 1, 0), 0) << "colour, cross " << cross;
        EXPECT_EQ(CountAround(2, 0, 0), 0) << "mono, cross " << cross;
    }
}

TEST_F(NoAllocExport, ExportsThatWaitForAFrame) {
    ASSERT_EQ(ZqStartGrab(1), 1);
    ASSERT_EQ(ZqStartGrab(2), 1);
    EXPECT_EQ(CountAround(1, 1, 1), 0);
    EXPECT_EQ(CountAround(2, 0, 1), 0);
    ZqStopGrab(1);
    ZqStopGrab(2);
}

}  // namespace
