// The process-wide image cache. A function-local list, so it exists before
// first use from any static initialiser and is freed when the module unloads.
#include "BitmapCache.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "Lice.h"
#include "resources/Resources.h"
#include "resources/Zoom.h"

namespace kettrix {

namespace {

struct CacheEntry {
    int id;
    int percent;
    std::unique_ptr<LICE_MemBitmap> bitmap;  // null: the id failed to load
};

struct BitmapCacheList {
    std::mutex lock;
    std::vector<CacheEntry> entries;
};

BitmapCacheList& Cache() {
    static BitmapCacheList cache;
    return cache;
}

}  // namespace

bool IsPNGFileName(const char* fileName) {
    if (!fileName) return false;
    const char* dot = std::strrchr(fileName, '.');
    if (!dot) return false;
    const char* ext = dot + 1;
    const char expected[] = "png";
    for (int i = 0; i < 3; ++i) {
        const char c = ext[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != expected[i]) return false;
    }
    return ext[3] == '\0';
}

LICE_IBitmap* LoadCachedPNG(int id, int percent) {
    const char* type = zoom::ImageResourceType(percent);
    if (type == nullptr) return nullptr;
    BitmapCacheList& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    for (const CacheEntry& entry : cache.entries)
        if (entry.id == id && entry.percent == percent) return entry.bitmap.get();
    const resources::Resource resource = resources::find(type, id);
    std::unique_ptr<LICE_MemBitmap> bitmap;
    if (resource) bitmap.reset(LICE_LoadPNGFromMemory(resource.data, resource.size));
    cache.entries.push_back(CacheEntry{id, percent, std::move(bitmap)});
    return cache.entries.back().bitmap.get();
}

int CachedBitmapCount() {
    BitmapCacheList& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    int count = 0;
    for (const CacheEntry& entry : cache.entries) count += entry.bitmap ? 1 : 0;
    return count;
}

std::size_t CachedBitmapBytes() {
    BitmapCacheList& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    std::size_t bytes = 0;
    for (const CacheEntry& entry : cache.entries)
        if (entry.bitmap)
            bytes += static_cast<std::size_t>(entry.bitmap->GetRowSpan()) *
                     static_cast<std::size_t>(entry.bitmap->GetHeight()) * sizeof(LICE_pixel);
    return bytes;
}

}  // namespace kettrix
