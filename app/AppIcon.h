#pragma once

#include <QIcon>

// The program icon (resource 128) in every rendered size.
QIcon TralvoIcon();
