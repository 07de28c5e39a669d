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

namespace {

Status Failure(std::string_view what, const std::string& path, int code) {
  return FileFailure(what, path, SystemErrorMessage(static_cast<unsigned long>(code)));
}

}  // namespace

Result<StagedFile> StageFile(const std::string& path, std::string_view bytes,
                             std::string_view what) {
  // What cannot be replaced is refused before anything is written, so that
  // the caller never registers a file that cannot be put in place.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return FileFailure(what, path, kFolderInTheWay);
  }
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
    return Failure(what, path, error);
  }
  FileDescriptor file(fd);
  TemporaryFile temporary(temporaryPath);

  while (!bytes.empty()) {
    ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Failure(what, path, errno);
    }
    if (written == 0) {
      return Failure(what, path, EIO);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  if (::fsync(file.get()) != 0) {
    return Failure(what, path, errno);
  }
  if (file.close() != 0) {
    return Failure(what, path, errno);
  }
  return StagedFile(path, std::string(what), std::move(temporary));
}

Status StagedFile::Commit() {
  if (::rename(temporary_.path().c_str(), path_.c_str()) != 0) {
    return Failure(what_, path_, errno);
  }
  temporary_.disarm();
  return Status::Ok();
}

}  // namespace wm
