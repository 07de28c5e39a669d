// The stand-in for HKEY_CURRENT_USER on Linux: a folder per key and a file
// per value below <APPLICATION_DATA>/Wendelmarquistone/Registry/HKEY_CURRENT_USER.
//
// Names: each key name and value name is stored with every byte other than
// A-Z, a-z, 0-9, space, "-", "_" and "." (and a "." at the start) written as
// "%" and two upper-case hexadecimal digits. A value's file is its encoded
// name after an "@" (so "@" alone is the unnamed default value); as "@" is
// always encoded in key names, a value file never meets a key folder. Names
// are compared byte for byte, not case-insensitively as on Windows.
//
// A value file holds the type's name, a line feed, and then the data, byte
// for byte to the end of the file; for REG_SZ that is the string and its
// terminating NUL ("REG_SZ\n/home/jsmith/.config/outlook.prf\0"). Each value
// file is written atomically (a temporary file, then a rename); deleting a
// value removes its file. Folders are made with mode 0700. Where anything
// but a folder stands in the way of a key's folder, creating that key fails,
// as a registry failure does on Windows.
//
// This is the one description of the store; CONTRIBUTING.md, Registry.h and
// RegistryStore_posix.h point here.
#include "profile/Registry.h"
#include "profile/RegistryStore_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "support/Files.h"
#include "support/SystemError.h"

namespace wm {

namespace {

std::string EncodeName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == ' ' || c == '-' || c == '_' || (c == '.' && i > 0);
    if (plain) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

// Creates the folder unless it is there (`made` says which, where given); a
// file or anything else in its place is a failure, as is a missing parent.
Status MakeFolder(const std::string& path, bool* made = nullptr) {
  if (::mkdir(path.c_str(), 0700) == 0) {
    if (made != nullptr) {
      *made = true;
    }
    return Status::Ok();
  }
  int error = errno;
  struct stat info;
  if (error == EEXIST) {
    // Something is there: a folder is what was wanted; for anything else,
    // or when it cannot be looked at, say so truly.
    if (::stat(path.c_str(), &info) != 0) {
      error = errno;
    } else if (S_ISDIR(info.st_mode)) {
      return Status::Ok();
    } else {
      error = ENOTDIR;
    }
  }
  return Status::Failure("cannot create the folder \"" + path +
                         "\": " + SystemErrorMessage(static_cast<unsigned long>(error)));
}

class RegistryStore final : public Registry {
 public:
  explicit RegistryStore(std::string folder) : root_(std::move(folder)) {}
  ~RegistryStore() override { CloseKey(); }
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  Status CreateKey(const std::string& keyPath) override {
    CloseKey();
    auto failure = [&](const std::string& reason) { return CreateKeyFailure(keyPath, reason); };
    if (root_.empty()) {
      return failure("the application-data folder cannot be found");
    }
    // The application-data folder itself may not exist yet in a new account.
    std::string folder;
    std::string below = root_ + "/HKEY_CURRENT_USER";
    for (size_t start = 0; start <= below.size();) {
      size_t end = below.find('/', start);
      if (end == std::string::npos) {
        end = below.size();
      }
      folder = below.substr(0, end);
      if (end > start) {
        Status made = MakeFolder(folder);
        if (!made) {
          return failure(made.message());
        }
      }
      start = end + 1;
    }
    for (size_t start = 0; start <= keyPath.size();) {
      size_t end = keyPath.find('\\', start);
      if (end == std::string::npos) {
        end = keyPath.size();
      }
      if (end == start) {
        return failure("the key name has an empty part");
      }
      folder += "/" + EncodeName(keyPath.substr(start, end - start));
      created_ = false;
      Status made = MakeFolder(folder, &created_);
      if (!made) {
        return failure(made.message());
      }
      start = end + 1;
    }
    folder_ = folder;
    keyPath_ = keyPath;
    return Status::Ok();
  }

  Status DeleteValue(const std::string& name) override {
    if (folder_.empty()) {
      return NoOpenKeyFailure("deleting", name);
    }
    if (::unlink(ValueFile(name).c_str()) != 0 && errno != ENOENT) {
      return ValueFailure("deleting", keyPath_, name,
                          SystemErrorMessage(static_cast<unsigned long>(errno)));
    }
    return Status::Ok();
  }

  Result<std::optional<std::string>> StringValue(const std::string& name) override {
    if (folder_.empty()) {
      return NoOpenKeyFailure("reading", name);
    }
    if (created_) {
      return std::optional<std::string>();  // a key made just now has no values
    }
    const int file = ::open(ValueFile(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0 && errno == ENOENT) {
      return std::optional<std::string>();
    }
    std::string contents;
    char buffer[4096];
    ssize_t got = file < 0 ? -1 : 0;
    while (file >= 0 && (got = ::read(file, buffer, sizeof buffer)) > 0) {
      contents.append(buffer, static_cast<size_t>(got));
    }
    const int error = errno;
    if (file >= 0) {
      ::close(file);
    }
    if (got < 0) {
      return ValueFailure("reading", keyPath_, name,
                          SystemErrorMessage(static_cast<unsigned long>(error)));
    }
    static const std::string kType = "REG_SZ\n";
    if (contents.compare(0, kType.size(), kType) != 0 || contents.back() != '\0') {
      return ValueFailure("reading", keyPath_, name, kNotAString);
    }
    return std::optional<std::string>(contents.c_str() + kType.size());
  }

  Status SetStringValue(const std::string& name, const std::string& value) override {
    if (folder_.empty()) {
      return NoOpenKeyFailure("setting", name);
    }
    std::string contents = "REG_SZ\n" + value;
    contents += '\0';
    Status written = WriteFileAtomically(ValueFile(name), contents, "cannot write the value file");
    if (!written) {
      return ValueFailure("setting", keyPath_, name, written.message());
    }
    return Status::Ok();
  }

  void CloseKey() override {
    folder_.clear();
    keyPath_.clear();
  }

 private:
  std::string ValueFile(const std::string& name) const { return folder_ + "/@" + EncodeName(name); }

  std::string root_;    // the store's folder; empty when there is none
  std::string folder_;  // the open key's folder; empty when none is open
  std::string keyPath_;
  bool created_ = false;  // the open key was made by CreateKey
};

}  // namespace

std::unique_ptr<Registry> OpenRegistryStore(const std::string& folder) {
  return std::make_unique<RegistryStore>(folder);
}

std::unique_ptr<Registry> OpenCurrentUserRegistry(const std::string& applicationData) {
  return OpenRegistryStore(
      applicationData.empty() ? std::string() : applicationData + "Wendelmarquistone/Registry");
}

}  // namespace wm
