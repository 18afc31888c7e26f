#include "server/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>

#include "quantrel/catalogue.h"

namespace quantrel {

namespace {
std::mutex g_locationMutex;
std::string g_location;  // empty: not set
}  // namespace

void SetRegistryFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_locationMutex);
  g_location = path;
}

namespace server {

std::filesystem::path Registry::Location() {
  {
    std::lock_guard<std::mutex> lock(g_locationMutex);
    if (!g_location.empty()) return g_location;
  }
  if (const char* env = std::getenv("QUANTREL_REGISTRY"); env && *env) return env;
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = std::filesystem::temp_directory_path();
  }
  return base / "quantrel" / "classes_root.reg";
}

namespace {

bool PathIsUnder(std::string_view key, std::string_view root) {
  return key.size() > root.size() && key[root.size()] == '\\' &&
         EqualsIgnoreCase(key.substr(0, root.size()), root);
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out + '"';
}

// Reads a quoted string at the start of `text`, advancing past it.
std::optional<std::string> Unquote(std::string_view& text) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\') {
      if (++i == text.size()) return std::nullopt;
      c = text[i] == 'n' ? '\n' : text[i];
    }
    out += c;
  }
  return std::nullopt;
}

// Holds an exclusive or shared lock on the registry's lock file for its lifetime.
class FileLock {
 public:
  FileLock(const std::filesystem::path& file, bool exclusive) {
    const std::string lockPath = file.string() + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0 && ::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

HRESULT ReadFile(const std::filesystem::path& file, Registry& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    out = Registry{};
    return std::filesystem::exists(file) ? REGDB_E_READREGDB : S_OK;  // no file yet: empty
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::optional<Registry> parsed = Registry::Parse(text.str());
  if (!parsed) return REGDB_E_READREGDB;
  out = std::move(*parsed);
  return S_OK;
}

// Writes the whole file beside the old one and renames it into place.
HRESULT WriteFile(const std::filesystem::path& file, const Registry& registry) {
  std::random_device random;
  const std::filesystem::path temporary =
      file.string() + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(random());
  const std::string text = registry.Serialise();
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return REGDB_E_WRITEREGDB;
  bool written = true;
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) {
      written = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  written = ::fsync(fd) == 0 && written;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return REGDB_E_WRITEREGDB;
  }
  return S_OK;
}

}  // namespace

HRESULT Registry::Read(Registry& out) {
  const std::filesystem::path file = Location();
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  FileLock lock(file, false);
  if (!lock.ok()) return REGDB_E_READREGDB;
  return ReadFile(file, out);
}

HRESULT Registry::Update(const std::function<HRESULT(Registry&)>& change) {
  const std::filesystem::path file = Location();
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  FileLock lock(file, true);
  if (!lock.ok()) return REGDB_E_WRITEREGDB;
  Registry registry;
  if (const HRESULT read = ReadFile(file, registry); read != S_OK) return read;
  if (const HRESULT changed = change(registry); changed != S_OK) return changed;
  return WriteFile(file, registry);
}

Registry::Key* Registry::Find(std::string_view key) {
  for (Key& k : keys_) {
    if (EqualsIgnoreCase(k.path, key)) return &k;
  }
  return nullptr;
}

const Registry::Key* Registry::Find(std::string_view key) const {
  return const_cast<Registry*>(this)->Find(key);
}

void Registry::SetValue(std::string_view key, std::string_view name, std::string_view value) {
  // Creating a key creates its parents, as the platform does.
  for (size_t cut = key.find('\\'); cut != std::string_view::npos; cut = key.find('\\', cut + 1)) {
    if (!Find(key.substr(0, cut))) keys_.push_back({std::string(key.substr(0, cut)), {}});
  }
  Key* k = Find(key);
  if (!k) k = &keys_.emplace_back(Key{std::string(key), {}});
  for (auto& [existing, text] : k->values) {
    if (EqualsIgnoreCase(existing, name)) {
      text = value;
      return;
    }
  }
  k->values.emplace_back(std::string(name), std::string(value));
}

std::optional<std::string> Registry::GetValue(std::string_view key, std::string_view name) const {
  const Key* k = Find(key);
  if (!k) return std::nullopt;
  for (const auto& [existing, text] : k->values) {
    if (EqualsIgnoreCase(existing, name)) return text;
  }
  return std::nullopt;
}

bool Registry::HasKey(std::string_view key) const {
  return Find(key) != nullptr;
}

void Registry::DeleteTree(std::string_view key) {
  // Deepest subkeys first, then the key itself.
  std::vector<std::string> doomed;
  for (const Key& k : keys_) {
    if (PathIsUnder(k.path, key)) doomed.push_back(k.path);
  }
  std::sort(doomed.begin(), doomed.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
  });
  doomed.emplace_back(key);
  for (const std::string& path : doomed) {
    std::erase_if(keys_, [&](const Key& k) { return EqualsIgnoreCase(k.path, path); });
  }
}

std::string Registry::Serialise() const {
  std::string out = "; classes root\n";
  for (const Key& k : keys_) {
    out += "\n[" + k.path + "]\n";
    for (const auto& [name, value] : k.values) {
      out += (name.empty() ? std::string("@") : Quote(name)) + "=" + Quote(value) + "\n";
    }
  }
  return out;
}

std::optional<Registry> Registry::Parse(std::string_view text) {
  Registry registry;
  Key* current = nullptr;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) return std::nullopt;
      registry.keys_.push_back({std::string(line.substr(1, line.size() - 2)), {}});
      current = &registry.keys_.back();
      continue;
    }
    if (!current) return std::nullopt;
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      std::optional<std::string> quoted = Unquote(line);
      if (!quoted) return std::nullopt;
      name = std::move(*quoted);
    }
    if (line.empty() || line.front() != '=') return std::nullopt;
    line.remove_prefix(1);
    std::optional<std::string> value = Unquote(line);
    if (!value || !line.empty()) return std::nullopt;
    current->values.emplace_back(std::move(name), std::move(*value));
  }
  return registry;
}

}  // namespace server
}  // namespace quantrel
