#pragma once

#include "files/FileError.h"

#include <string_view>
#include <utility>

#include <unistd.h>

// Owns one file descriptor; -1 is none.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
        {
            ::close(m_fd);
        }
    }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    // A failed close may mean the data never reached the disk.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// The error an errno value stands for.
FileError FileErrorFromErrno(int error);

bool WriteAll(int fd, std::string_view bytes);
