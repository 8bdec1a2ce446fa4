#include "ui/ToolsCell.h"

#include "tools/CleaningEntry.h"
#include "ui/Images.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kTag = "tag";

// The entry's icon: an image file of the volume, one of the application's
// images, or the desktop theme's; the application's own icon when none of
// them can be had (an icon file missing from the volume).
QIcon iconFor(const QString &image)
{
    QIcon icon;
    if (QFileInfo(image).isAbsolute()) {
        if (QFileInfo::exists(image))
            icon = QIcon(image);
    } else if (!image.isEmpty()) {
        icon = Images::named(image);
        if (icon.isNull())
            icon = QIcon::fromTheme(image);
    }
    if (icon.isNull() || icon.pixmap(36, 36).isNull())
        icon = Images::named(QStringLiteral("icon1"));
    return icon;
}

Qt::CheckState checkStateOf(int isChecked)
{
    if (isChecked == 1)
        return Qt::Checked;
    return isChecked == 0 ? Qt::Unchecked : Qt::PartiallyChecked;
}
} // namespace

ToolsCell::ToolsCell(QWidget *parent)
    : QFrame(parent)
    , m_imageIcon(new QLabel)
    , m_checkBox(new QCheckBox)
    , m_nameText(new QLabel)
    , m_sizeText(new QLabel)
    , m_detailsText(new QLabel)
    , m_detailsButton(new QPushButton(QStringLiteral("Details")))
{
    setObjectName(QStringLiteral("ToolsCell"));
    setFixedHeight(kRowHeight);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    m_imageIcon->setObjectName(QStringLiteral("imageIcon"));
    m_imageIcon->setFixedSize(36, 36);
    m_checkBox->setObjectName(QStringLiteral("checkBox"));
    m_checkBox->setTristate(true);
    m_nameText->setObjectName(QStringLiteral("nameText"));
    QFont bold = m_nameText->font();
    bold.setBold(true);
    m_nameText->setFont(bold);
    m_sizeText->setObjectName(QStringLiteral("sizeText"));
    m_sizeText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_sizeText->setMinimumWidth(90);
    m_detailsText->setObjectName(QStringLiteral("detailsText"));
    m_detailsText->setForegroundRole(QPalette::PlaceholderText);
    m_detailsText->setMinimumWidth(10);
    m_detailsButton->setObjectName(QStringLiteral("detailsButton"));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(m_nameText);
    texts->addWidget(m_detailsText);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 4, 12, 4);
    row->setSpacing(10);
    row->addWidget(m_checkBox);
    row->addWidget(m_imageIcon);
    row->addLayout(texts, 1);
    row->addWidget(m_sizeText);
    row->addWidget(m_detailsButton);

    connect(m_checkBox, &QCheckBox::clicked, this, [this] {
        const int row = m_checkBox->property(kTag).toInt();
        Q_EMIT checkBoxAction(row, m_checkBox->checkState() == Qt::Unchecked ? 0 : 1);
    });
    connect(m_detailsButton, &QPushButton::clicked, this,
            [this] { Q_EMIT ShowDetailsFor(m_detailsButton->property(kTag).toInt()); });
}

QString ToolsCell::detailsTextFor(const CleaningEntry &entry)
{
    if (entry.Name == QLatin1String("Chrome"))
        return QStringLiteral("Cookies, Visited Links, History, Login Data, LastSession, User preferences, Favicons, "
                              "Top Sites, Local Storage");
    if (entry.Name == QLatin1String("Browser Extensions"))
        return QStringLiteral("Browser extensions, Preferences");
    if (entry.Name == QLatin1String("Adult History"))
        return QStringLiteral("All Adult Browser history");
    QStringList names;
    for (const auto &item : entry.List)
        names.append(item.NameText);
    return names.join(QStringLiteral(", "));
}

void ToolsCell::fill(const CleaningEntry &entry, int row)
{
    const bool adult = entry.Name == QLatin1String("Adult History");
    m_nameText->setText(entry.Name);
    m_imageIcon->setPixmap(iconFor(entry.Img).pixmap(36, 36));
    m_checkBox->setCheckState(checkStateOf(entry.isChecked));
    m_checkBox->setEnabled(entry.isEnabled);
    m_detailsButton->setEnabled(entry.isEnabled);
    m_checkBox->setProperty(kTag, row);
    m_detailsButton->setProperty(kTag, row);
    m_sizeText->setText(adult ? QString() : entry.Size.value_or(QString()));
    const QString details = detailsTextFor(entry);
    m_detailsText->setToolTip(details);
    setToolTip(adult ? details : QString());
    m_detailsButton->setIcon(adult ? Images::named(QStringLiteral("DetatilsButton")) : QIcon());
    m_details = details;
    elideDetails();
    m_checkBox->setAccessibleName(QStringLiteral("Select %1").arg(entry.Name));
    m_detailsButton->setAccessibleName(QStringLiteral("Details of %1").arg(entry.Name));
    m_sizeText->setAccessibleName(QStringLiteral("Size of %1").arg(entry.Name));
    m_nameText->setAccessibleName(entry.Name);
    m_detailsText->setAccessibleName(details);
    m_imageIcon->setAccessibleName(QStringLiteral("%1 icon").arg(entry.Name));
}

// The list of what an entry cleans is long: it is elided to the row, in full
// in its tooltip.
void ToolsCell::elideDetails()
{
    m_detailsText->setText(
        m_detailsText->fontMetrics().elidedText(m_details, Qt::ElideRight, qMax(120, m_detailsText->width())));
}

void ToolsCell::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    elideDetails();
}
