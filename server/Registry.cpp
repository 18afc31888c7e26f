#include "server/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>

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

// Fails with `status`, describing why in the thread's error information.
HRESULT Refuse(HRESULT status, const std::string& description) {
  SetErrorInfo({kNullGuid, kProgId, description, "", 0});
  return status;
}

std::string Quoted(const std::filesystem::path& file) {
  std::string out = file.string();
  out.insert(out.begin(), '"');
  out += '"';
  return out;
}

// The registry file as found on disk: where it really is (symbolic links followed to their end,
// which may not exist yet) and, when it exists, its mode and owner to keep.
struct RealFile {
  std::filesystem::path path;
  bool exists = false;
  struct stat status {};
};

HRESULT FindRealFile(const std::filesystem::path& named, HRESULT failure, RealFile& out) {
  std::filesystem::path path = named;
  for (int links = 0;; ++links) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) {
        return Refuse(failure, "Cannot reach the registry file " + Quoted(path) + ": " +
                                   std::strerror(errno) + ".");
      }
      out = {path, false, {}};
      return S_OK;
    }
    if (!S_ISLNK(st.st_mode)) {
      if (!S_ISREG(st.st_mode)) {
        return Refuse(failure, "The registry file " + Quoted(path) + " is not a regular file.");
      }
      // Replacing one name of a file with several would leave the others on the old contents.
      if (st.st_nlink > 1) {
        return Refuse(failure, "The registry file " + Quoted(path) +
                                   " has other hard links; it is left unchanged.");
      }
      out = {path, true, st};
      return S_OK;
    }
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) == target.size() || links == 40) {
      return Refuse(failure,
                    "Cannot follow the symbolic link " + Quoted(path) + " to the registry file.");
    }
    target.resize(static_cast<size_t>(n));
    path = std::filesystem::path(target).is_absolute() ? std::filesystem::path(target)
                                                       : path.parent_path() / target;
  }
}

HRESULT ReadFile(const RealFile& file, Registry& out) {
  out = Registry{};
  if (!file.exists) return S_OK;  // no file yet: empty
  // Never blocking: the file was a regular one a moment ago, but need not be still.
  const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return S_OK;
    return Refuse(REGDB_E_READREGDB, "Cannot read the registry file " + Quoted(file.path) + ": " +
                                         std::strerror(errno) + ".");
  }
  struct stat st {};
  std::string text;
  bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char buffer[65536];
  for (ssize_t n; regular && (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      regular = false;
      break;
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!regular) {
    return Refuse(REGDB_E_READREGDB,
                  "Cannot read the registry file " + Quoted(file.path) + " as a regular file.");
  }
  std::optional<Registry> parsed = Registry::Parse(text);
  if (!parsed) {
    return Refuse(REGDB_E_READREGDB,
                  "The registry file " + Quoted(file.path) + " is not in the registry format.");
  }
  out = std::move(*parsed);
  return S_OK;
}

// Writes the whole file beside the real one, with its mode, and renames it into place.
HRESULT WriteFile(const RealFile& file, const Registry& registry) {
  std::random_device random;
  const std::filesystem::path temporary =
      file.path.string() + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(random());
  const std::string text = registry.Serialise();
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    return Refuse(REGDB_E_WRITEREGDB, "Cannot write beside the registry file " + Quoted(file.path) +
                                          ": " + std::strerror(errno) + ".");
  }
  bool written = true;
  if (file.exists) {
    // Owner first: changing it may clear the set-id bits that the mode then restores.
    if (::fchown(fd, file.status.st_uid, file.status.st_gid) != 0) {
      // Only a privileged process may give a file away; the mode still applies.
    }
    written = ::fchmod(fd, file.status.st_mode & 07777) == 0;
  }
  for (size_t done = 0; written && done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) {
      written = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  written = ::fsync(fd) == 0 && written;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), file.path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return Refuse(REGDB_E_WRITEREGDB, "Cannot write the registry file " + Quoted(file.path) + ": " +
                                          std::strerror(error) + ".");
  }
  return S_OK;
}

// Finds the real file, creates its folder and takes the lock on it.
HRESULT Open(HRESULT failure, bool exclusive, RealFile& file, std::optional<FileLock>& lock) {
  if (const HRESULT found = FindRealFile(Registry::Location(), failure, file); found != S_OK) {
    return found;
  }
  std::error_code ec;
  std::filesystem::create_directories(file.path.parent_path(), ec);
  lock.emplace(file.path, exclusive);
  if (!lock->ok()) {
    return Refuse(failure, "Cannot lock the registry file " + Quoted(file.path) + ".");
  }
  // Look again under the lock: another process may have created or replaced the file meanwhile.
  return FindRealFile(file.path, failure, file);
}

}  // namespace

HRESULT Registry::Read(Registry& out) {
  RealFile file;
  std::optional<FileLock> lock;
  if (const HRESULT opened = Open(REGDB_E_READREGDB, false, file, lock); opened != S_OK) {
    return opened;
  }
  return ReadFile(file, out);
}

HRESULT Registry::Update(const std::function<HRESULT(Registry&)>& change) {
  RealFile file;
  std::optional<FileLock> lock;
  if (const HRESULT opened = Open(REGDB_E_WRITEREGDB, true, file, lock); opened != S_OK) {
    return opened;
  }
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
