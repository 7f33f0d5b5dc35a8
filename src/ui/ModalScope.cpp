#include "ui/ModalScope.h"

namespace {

const char *const kDepth = "prx5mModalDepth";

} // namespace

ModalScope::ModalScope(QWidget *parent) : m_window(parent ? parent->window() : nullptr)
{
    if (m_window)
        m_window->setProperty(kDepth, m_window->property(kDepth).toInt() + 1);
}

ModalScope::~ModalScope()
{
    if (m_window)
        m_window->setProperty(kDepth, m_window->property(kDepth).toInt() - 1);
}

bool ModalScope::running(const QWidget *window)
{
    return window && window->property(kDepth).toInt() > 0;
}
