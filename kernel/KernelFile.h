// Internal to the binding: an open file or serial port behind a HANDLE.
#pragma once

#include <string>

#include "kernel/KernelObject.h"

class CFileObject : public CKernelObject {
public:
    CFileObject(int fd, bool bPort, bool bTerminal, std::string strPath);
    ~CFileObject() override;
    int Close() override;

    int Descriptor() const { return m_fd; }
    bool IsPort() const { return m_bPort; }
    // TRUE for a port whose path is a terminal (termios applies).
    bool IsTerminal() const { return m_bTerminal; }
    const std::string& Path() const { return m_strPath; }

private:
    int m_fd;
    bool m_bPort;
    bool m_bTerminal;
    std::string m_strPath;
};
