#include "support/Files.h"

#include <string>
#include <utility>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/SystemError.h"
#include "support/TemporaryFile.h"

namespace wm {

namespace {

// A file descriptor closed on every path.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  // Closes now and reports the result: a delayed write error can show here.
  int close() {
    int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes, std::string_view what) {
  auto failure = [&](int code) {
    return Status::Failure(std::string(what) + " \"" + path +
                           "\": " + SystemErrorMessage(static_cast<unsigned long>(code)));
  };

  // O_EXCL never reuses a file someone else left or planted.
  int fd = -1;
  int error = 0;
  std::string temporaryPath = CreateTemporaryBeside(
      path, static_cast<unsigned long>(::getpid()), [&](const std::string& name) {
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        return fd >= 0           ? CreateResult::Created
               : error == EEXIST ? CreateResult::NameTaken
                                 : CreateResult::Failed;
      });
  if (temporaryPath.empty()) {
    return failure(error);
  }
  FileDescriptor file(fd);
  TemporaryFile temporary(temporaryPath);

  while (!bytes.empty()) {
    ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return failure(errno);
    }
    if (written == 0) {
      return failure(EIO);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  if (::fsync(file.get()) != 0) {
    return failure(errno);
  }
  if (file.close() != 0) {
    return failure(errno);
  }
  if (::rename(temporary.path().c_str(), path.c_str()) != 0) {
    return failure(errno);
  }
  temporary.commit();
  return Status::Ok();
}

}  // namespace wm
