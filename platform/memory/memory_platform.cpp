#include "platform/memory/memory_platform.h"

#include <cstring>

namespace plat {

static std::string HiveKey(Hive hive, const char* key) {
    return std::string(hive == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") + (key ? key : "");
}

bool MemoryPlatform::OpenRegistryKey(Hive hive, const char* key) {
    return registry.count(HiveKey(hive, key)) != 0;
}

bool MemoryPlatform::ReadRegistryValue(Hive hive, const char* key, const char* value, char* buf,
                                       size_t size) {
    auto k = registry.find(HiveKey(hive, key));
    if (k == registry.end()) return false;
    auto v = k->second.find(value ? value : "");
    if (v == k->second.end() || v->second.size() + 1 > size) return false;
    std::memcpy(buf, v->second.c_str(), v->second.size() + 1);
    return true;
}

void* MemoryPlatform::LoadLibrary(const char* name) {
    libraryLoads.push_back(name ? name : "");
    auto it = libraries.find(name ? name : "");
    return it == libraries.end() ? nullptr : &it->second;
}

void* MemoryPlatform::GetProcAddress(void* lib, const char* name) {
    if (!lib) return nullptr;
    auto& entries = *static_cast<std::map<std::string, void*>*>(lib);
    auto it = entries.find(name ? name : "");
    return it == entries.end() ? nullptr : it->second;
}

int MemoryPlatform::ChoosePixelFormat(HWND, const PixelFormatDescriptor& want) {
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i].cAccumBits <= want.cAccumBits) return (int)i + 1;
    return 0;
}

bool MemoryPlatform::DescribePixelFormat(HWND, int index, PixelFormatDescriptor* out) {
    if (index < 1 || index > (int)formats.size()) return false;
    *out = formats[index - 1];
    return true;
}

}  // namespace plat
