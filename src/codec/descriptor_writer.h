#pragma once

#include <QIODevice>

#include <vector>

namespace tessarin {

// A device over an open file that keeps the system's reason when a write fails. QFile loses it
// when the disk fills in the middle of a large write: the short write passes for success, and
// the caller learns only that fewer bytes went out. Seeks and reads are there for encoders
// that go back over what they wrote.
class DescriptorWriter : public QIODevice {
 public:
  // fd, open for reading and writing at offset 0, stays the caller's to close.
  explicit DescriptorWriter(int fd);
  ~DescriptorWriter() override;

  // Writes out what is buffered; false, with errorString() saying why, once a write failed.
  bool Flush();
  bool Failed() const { return error_ != 0; }

  bool seek(qint64 pos) override;
  qint64 size() const override;

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 size) override;

 private:
  bool WriteOut(const char* data, std::size_t size);
  void Fail(int error);

  int fd_;
  int error_ = 0;
  // Bytes that belong at the file's offset, which stays where they begin.
  std::vector<char> buffer_;
};

}  // namespace tessarin
