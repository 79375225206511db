// The help window over Qt Help.

#include "HelpViewer.h"

#include "Forms.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <filesystem>
#include <memory>

namespace {

// An engine over one compiled help file; its collection lives in a private
// temporary folder, so nothing is written beside the program.
class THelpFile {
public:
    explicit THelpFile(const QString& Compiled) : compiled_(Compiled) {
        if (!dir_.isValid()) return;
        engine_ = std::make_unique<QHelpEngine>(dir_.filePath("help.qhc"));
        engine_->setReadOnly(false);
        if (!engine_->setupData() || !engine_->registerDocumentation(Compiled)) {
            engine_.reset();
            return;
        }
        engine_->setupData();
    }
    bool Valid() const { return engine_ != nullptr; }
    QHelpEngine* Engine() const { return engine_.get(); }
    const QString& Compiled() const { return compiled_; }

    // The topic of a keyword id ("context-20", "contents", "helponhelp").
    QUrl TopicFor(const QString& Id) const {
        const QList<QHelpLink> links = engine_->documentsForIdentifier(Id);
        return links.isEmpty() ? QUrl() : links.first().url;
    }
    QUrl Contents() const { return TopicFor(QStringLiteral("contents")); }

private:
    QString compiled_;
    QTemporaryDir dir_;
    std::unique_ptr<QHelpEngine> engine_;
};

// Topics come out of the help file; links between them stay inside it.
class THelpBrowser : public QTextBrowser {
public:
    THelpBrowser(QHelpEngine* Engine, QWidget* Parent) : QTextBrowser(Parent), engine_(Engine) {
        setOpenExternalLinks(false);
        setOpenLinks(true);
    }
    QVariant loadResource(int Type, const QUrl& Name) override {
        const QUrl url = Name.isRelative() ? source().resolved(Name) : Name;
        if (url.scheme() == QLatin1String("qthelp")) return engine_->fileData(url);
        return QTextBrowser::loadResource(Type, Name);
    }

private:
    QHelpEngine* engine_;
};

class THelpWindow : public QWidget {
public:
    explicit THelpWindow(std::unique_ptr<THelpFile> File) : file_(std::move(File)) {
        setWindowTitle(QStringLiteral("Help"));
        setAttribute(Qt::WA_DeleteOnClose, false);
        QHelpEngine* engine = file_->Engine();
        browser_ = new THelpBrowser(engine, this);
        tabs_ = new QTabWidget(this);
        tabs_->addTab(engine->contentWidget(), QStringLiteral("Contents"));
        auto* indexPage = new QWidget(tabs_);
        auto* indexLayout = new QVBoxLayout(indexPage);
        indexLayout->setContentsMargins(2, 2, 2, 2);
        search_ = new QLineEdit(indexPage);
        search_->setPlaceholderText(QStringLiteral("Type the first letters of a key word"));
        indexLayout->addWidget(search_);
        indexLayout->addWidget(engine->indexWidget());
        tabs_->addTab(indexPage, QStringLiteral("Index"));

        auto* back = new QPushButton(QStringLiteral("< Back"), this);
        auto* forward = new QPushButton(QStringLiteral("Forward >"), this);
        auto* contents = new QPushButton(QStringLiteral("Contents"), this);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(contents);
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addStretch();
        auto* splitter = new QSplitter(this);
        splitter->addWidget(tabs_);
        splitter->addWidget(browser_);
        splitter->setStretchFactor(1, 1);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(splitter);
        resize(760, 520);

        QObject::connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
        QObject::connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
        QObject::connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
        QObject::connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
        back->setEnabled(false);
        forward->setEnabled(false);
        QObject::connect(contents, &QPushButton::clicked, this, [this] { ShowContents(); });
        // The contents open one level deep once the engine has read them.
        QObject::connect(engine->contentModel(), &QHelpContentModel::contentsCreated, this,
                         [engine] { engine->contentWidget()->expandToDepth(0); });
        QObject::connect(engine->contentWidget(), &QHelpContentWidget::linkActivated, browser_,
                         [this](const QUrl& url) { browser_->setSource(url); });
        QObject::connect(engine->indexWidget(), &QHelpIndexWidget::documentActivated, browser_,
                         [this](const QHelpLink& link, const QString&) { browser_->setSource(link.url); });
        QObject::connect(engine->indexWidget(), &QHelpIndexWidget::documentsActivated, browser_,
                         [this](const QList<QHelpLink>& links, const QString&) {
                             if (!links.isEmpty()) browser_->setSource(links.first().url);
                         });
        QObject::connect(search_, &QLineEdit::textChanged, this,
                         [this](const QString& text) { file_->Engine()->indexWidget()->filterIndices(text); });
        QObject::connect(search_, &QLineEdit::returnPressed, this,
                         [this] { file_->Engine()->indexWidget()->activateCurrentItem(); });
    }

    const THelpFile& File() const { return *file_; }

    void ShowTopic(const QUrl& Url) {
        tabs_->setCurrentIndex(0);
        browser_->setSource(Url.isValid() ? Url : file_->Contents());
        Raise();
    }
    void ShowContents() { ShowTopic(file_->Contents()); }
    void ShowIndex(const QString& Key) {
        if (browser_->source().isEmpty()) browser_->setSource(file_->Contents());
        tabs_->setCurrentIndex(1);
        search_->setText(Key);
        file_->Engine()->indexWidget()->filterIndices(Key);
        Raise();
        search_->setFocus();
    }

    THelpWindowState State() const {
        THelpWindowState s;
        s.Topic = browser_->source().fileName().toStdString();
        s.Title = browser_->documentTitle().toStdString();
        s.Tab = tabs_->tabText(tabs_->currentIndex()).toStdString();
        s.SearchText = search_->text().toStdString();
        s.Visible = isVisible();
        return s;
    }

private:
    void Raise() {
        show();
        raise();
        activateWindow();
    }

    std::unique_ptr<THelpFile> file_;
    THelpBrowser* browser_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* search_ = nullptr;
};

THelpWindow*& Window() {
    static THelpWindow* window = nullptr;
    return window;
}

void CloseHelpWindow() {
    delete Window();
    Window() = nullptr;
}

// The help window for a compiled file, made on first use or when the file changes.
THelpWindow* WindowFor(const QString& Compiled) {
    THelpWindow*& window = Window();
    if (window && window->File().Compiled() == Compiled) return window;
    CloseHelpWindow();
    auto file = std::make_unique<THelpFile>(Compiled);
    if (!file->Valid()) return nullptr;
    window = new THelpWindow(std::move(file));
    // Opens over the program's window, a little down and to the right.
    if (TForm* main = Application ? Application->MainForm() : nullptr)
        window->move(main->GetLeft() + 40, main->GetTop() + 40);
    return window;
}

bool Installed(const std::string& HelpFile, QString& Compiled) {
    if (HelpFile.empty()) return false;
    Compiled = QString::fromStdString(CompiledHelpFile(HelpFile));
    return QFileInfo(Compiled).isFile();
}

}  // namespace

std::string CompiledHelpFile(const std::string& HelpFile) {
    std::filesystem::path p(HelpFile);
    p.replace_extension(".qch");
    return p.string();
}

bool RunHelpCommand(const std::string& HelpFile, unsigned Command, intptr_t Data) {
    if (Command == HELP_QUIT) {
        CloseHelpWindow();
        return true;
    }
    QString compiled;
    if (!Installed(HelpFile, compiled)) return false;
    THelpWindow* window = WindowFor(compiled);
    if (!window) return false;
    switch (Command) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
        window->ShowTopic(window->File().TopicFor(QStringLiteral("context-%1").arg(qint64(Data))));
        return true;
    case HELP_HELPONHELP: window->ShowTopic(window->File().TopicFor(QStringLiteral("helponhelp"))); return true;
    case HELP_PARTIALKEY:
    case HELP_KEY: {
        const char* key = reinterpret_cast<const char*>(Data);
        window->ShowIndex(key ? QString::fromUtf8(key) : QString());
        return true;
    }
    default: window->ShowContents(); return true;
    }
}

std::string HelpTopicForContext(const std::string& HelpFile, int Context) {
    QString compiled;
    if (!Installed(HelpFile, compiled)) return {};
    THelpFile file(compiled);
    if (!file.Valid()) return {};
    return file.TopicFor(QStringLiteral("context-%1").arg(Context)).fileName().toStdString();
}

THelpWindowState HelpWindowState() {
    THelpWindow* window = Window();
    return window ? window->State() : THelpWindowState{};
}
