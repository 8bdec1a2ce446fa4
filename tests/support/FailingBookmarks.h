#pragma once

#include "platform/Bookmarks.h"

// Bookmarks that fail to be made, as when the folder vanished before the
// grant could be recorded.
class FailingBookmarks : public Bookmarks
{
public:
    std::optional<QByteArray> make(const QString &, QString *error) const override
    {
        if (error)
            *error = QStringLiteral("refused");
        return std::nullopt;
    }
};
