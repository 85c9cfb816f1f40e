#include "ui/CDC.h"

CDC::CDC() : m_hDC(nullptr) {}
CDC::~CDC() = default;

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    return ::DrawIcon(m_hDC, x, y, hIcon);
}
