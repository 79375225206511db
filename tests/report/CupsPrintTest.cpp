// A prepared report printed through a real print queue: the test runs its
// own print server on loopback with a private configuration and a queue
// whose PDF output lands in the test's folder, prints, reads the PDF back
// and stops the server.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <dlfcn.h>
#include <fstream>
#include <optional>
#include <netinet/in.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "Dialogs.h"
#include "PrintTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

int FreeLoopbackPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool Accepts(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

void WriteFile(const std::string& name, const std::string& text) { std::ofstream(name) << text; }

// The print client library reads CUPS_SERVER once and keeps the server for
// the rest of the process, so a test that names its own server, or gives the
// old one back, must have it read the setting again. Not loaded yet, it has
// read nothing.
void ReadPrintServerSettingAgain() {
    void* cups = dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!cups) return;
    using SetServer = void (*)(const char*);
    if (auto setServer = reinterpret_cast<SetServer>(dlsym(cups, "cupsSetServer"))) setServer(nullptr);
    dlclose(cups);
}

// A print server of our own: configuration, spool and output under one
// folder, listening on a free loopback port, stopped with the object.
class PrivatePrintServer {
public:
    explicit PrivatePrintServer(const std::string& root) : FRoot(root) {}
    ~PrivatePrintServer() { Stop(); }

    // Empty when the server runs with the queue; else what went wrong.
    std::string Start(const std::string& queue) {
        if (access("/usr/sbin/cupsd", X_OK) != 0) return "the print server (cups) is not installed";
        if (access("/usr/lib/cups/backend/cups-pdf", F_OK) != 0)
            return "the PDF queue driver (cups-pdf) is not installed";
        if (geteuid() != 0) return "the print server's PDF backend needs root";
        FQueue = queue;
        Port = FreeLoopbackPort();
        for (const char* d : {"/etc", "/spool", "/tmp", "/cache", "/state", "/log", "/out"})
            mkdir((FRoot + d).c_str(), 0755);
        chmod(FRoot.c_str(), 0755);
        chmod((FRoot + "/out").c_str(), 0777);
        chmod((FRoot + "/tmp").c_str(), 01777);  // the filters run as another user
        WriteFile(FRoot + "/etc/cupsd.conf", "Listen 127.0.0.1:" + std::to_string(Port) +
                                                 "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                                 "DefaultAuthType None\nDefaultEncryption Never\n"
                                                 "<Location />\n Order allow,deny\n Allow all\n</Location>\n"
                                                 "<Policy default>\n <Limit All>\n  Order deny,allow\n"
                                                 "  Allow all\n </Limit>\n</Policy>\n");
        WriteFile(FRoot + "/etc/cups-files.conf",
                  "ServerRoot " + FRoot + "/etc\nRequestRoot " + FRoot + "/spool\nTempDir " + FRoot +
                      "/tmp\nCacheDir " + FRoot + "/cache\nStateDir " + FRoot + "/state\nErrorLog " + FRoot +
                      "/log/error_log\nAccessLog " + FRoot + "/log/access_log\nPageLog " + FRoot +
                      "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSandboxing Relaxed\n");
        // The PDF backend reads a queue's settings only from the system's
        // folder; a file named after this queue alone sends its output here.
        FBackendConf = "/etc/cups/cups-pdf-" + queue + ".conf";
        WriteFile(FBackendConf, "Out " + FRoot + "/out\nAnonDirName " + FRoot +
                                    "/out\nLabel 0\nTitlePref 1\nGrp root\nUserUMask 0000\nDecodeHexStrings 1\n");
        FPid = fork();
        if (FPid == 0) {
            execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (FRoot + "/etc/cupsd.conf").c_str(), "-s",
                  (FRoot + "/etc/cups-files.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        auto until = Clock::now() + std::chrono::seconds(10);
        while (!Accepts(Port)) {
            int status;
            if (waitpid(FPid, &status, WNOHANG) == FPid) {
                FPid = -1;
                return "the print server exited at start: " + RunCommand("cat '" + FRoot + "/log/error_log'");
            }
            if (Clock::now() > until) return "the print server did not listen within 10 s";
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::string out =
            RunCommand("lpadmin -h 127.0.0.1:" + std::to_string(Port) + " -p " + queue + " -E -v cups-pdf:/" + queue +
                       " -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>&1; echo rc=$?");
        if (out.find("rc=0") == std::string::npos) return "the queue could not be added: " + out;
        return "";
    }

    // The PDF the queue wrote once its jobs are done, waiting up to the time
    // given; empty when none came.
    std::string WaitForOutput(std::chrono::seconds limit) {
        auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            bool pending = !RunCommand("lpstat -h 127.0.0.1:" + std::to_string(Port) + " -o").empty();
            if (!pending) {
                std::string found;
                if (DIR* d = opendir((FRoot + "/out").c_str())) {
                    while (dirent* e = readdir(d)) {
                        std::string name = e->d_name;
                        if (name.size() > 4 && name.substr(name.size() - 4) == ".pdf") found = FRoot + "/out/" + name;
                    }
                    closedir(d);
                }
                return found;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return "";
    }

    void Stop() {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            auto until = Clock::now() + std::chrono::seconds(5);
            int status;
            while (waitpid(FPid, &status, WNOHANG) == 0) {
                if (Clock::now() > until) {
                    kill(FPid, SIGKILL);
                    waitpid(FPid, &status, 0);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            FPid = -1;
        }
        if (!FBackendConf.empty()) unlink(FBackendConf.c_str());
        FBackendConf.clear();
    }

    int Port = 0;

private:
    std::string FRoot, FQueue, FBackendConf;
    pid_t FPid = -1;
};

// A private print server with one PDF queue, which the platform's printers
// and the engine's printer layer list for the length of a test.
class CupsPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/varnholt-cups-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        if (const char* s = getenv("CUPS_SERVER")) savedServer = s;
        server.emplace(root);
        std::string error = server->Start(queue);
        ASSERT_EQ(error, "") << "A print queue for the test could not be set up: " << error;
        // The printers are asked for from here on, of this server only.
        setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(server->Port)).c_str(), 1);
        ReadPrintServerSettingAgain();
        EnsureGuiApp();
        // The printer is first asked for here, after the server was named.
        restore.emplace();
        Printer()->Refresh();
        rpPrinter().SetPrinter(Printer());
        ASSERT_EQ(rpPrinter().Printers, (std::vector<std::string>{queue, "Print to PDF", "Virtual printer"}));
    }
    void TearDown() override {
        restore.reset();
        server.reset();
        // The system's printers come back once the private server is gone.
        if (savedServer)
            setenv("CUPS_SERVER", savedServer->c_str(), 1);
        else
            unsetenv("CUPS_SERVER");
        ReadPrintServerSettingAgain();
        EnsureGuiApp();
        Printer()->Refresh();
        rpPrinter().SetPrinter(Printer());
        if (!root.empty()) RunCommand("rm -rf '" + root + "'");
    }
    // Prepared pages of one memo each, on Letter paper.
    void Prepare(TrpReport& report, const std::vector<std::string>& texts) {
        report.Context().SetPrinter(rpCreatePrinterLink());
        report.Title = "Queue test";
        report.ShowProgress = false;
        TrpPage* page = report.Pages->Add();
        page->ApplyPaperSettings(1, 2159, 2794, 0, 0xFFFF);
        for (size_t p = 0; p < texts.size(); ++p) {
            report.EMFPages->Add(page);
            auto* memo = new TrpMemoView;
            memo->x = 60;
            memo->y = 60;
            memo->dx = 300;
            memo->dy = 18;
            memo->Memo->SetText(texts[p]);
            page->AddObject(memo);
            memo->WritePreparedObject(report.EMFPages->Page(int(p)).Stream.get());
            page->ClearObjects();
        }
    }
    std::string ServerLog() { return RunCommand("cat '" + root + "/log/error_log'"); }

    std::string root;
    const std::string queue = "varnholt" + std::to_string(getpid());
    std::optional<std::string> savedServer;
    std::optional<PrivatePrintServer> server;
    std::optional<PrinterStateGuard> restore;
};

TEST_F(CupsPrintTest, PreparedReportPrintsThroughARealQueue) {
    TrpPrinter& layer = rpPrinter();
    layer.SetPrinterIndex(0);
    TrpReport report(nullptr);
    Prepare(report, {"Queued page 1", "Queued page 2", "Queued page 3"});
    report.PrintPreparedReport("1,3", 1, false, pwAll);

    std::string pdf = server->WaitForOutput(std::chrono::seconds(30));
    ASSERT_NE(pdf, "") << "the queue wrote no PDF; server log: " << ServerLog();
    EXPECT_EQ(PdfPageSizesOf(pdf), std::vector<std::string>(2, "612 x 792"));
    // The queue's conversions keep the look but not the text's encoding,
    // so its pages are compared with the same pages printed to PDF.
    std::string direct = root + "/direct.pdf";
    layer.SetPrinterIndex(1);
    Printer()->FileName = direct;
    report.PrintPreparedReport("1,3", 1, false, pwAll);
    Printer()->FileName.clear();
    ASSERT_EQ(PdfPageTextsOf(direct), (std::vector<std::string>{"Queued page 1", "Queued page 3"}));
    for (int p = 1; p <= 2; ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        PageImage queued = PdfPageImage(pdf, p), own = PdfPageImage(direct, p);
        ASSERT_EQ(queued.width, own.width);
        ASSERT_GT(own.Ink(), 0);
        // The same text in the same place: the inked box matches and the
        // amount of ink is close, whatever the rasteriser's details.
        TRect a = queued.InkBox(), b = own.InkBox();
        EXPECT_NEAR(a.Left, b.Left, 2);
        EXPECT_NEAR(a.Top, b.Top, 2);
        EXPECT_NEAR(a.Right, b.Right, 2);
        EXPECT_NEAR(a.Bottom, b.Bottom, 2);
        EXPECT_NEAR(queued.Ink(), own.Ink(), own.Ink() * 0.35);
    }
}

// The printer chosen in the printer set-up dialog is the one the engine's
// printer layer selects, so the print dialog offers it and a report prints on it.
TEST_F(CupsPrintTest, PrinterChosenInSetupGetsThePrint) {
    TrpPrinter& layer = rpPrinter();
    layer.SetPrinterIndex(1);  // "Print to PDF"
    TPrinterSetupChoice offered;
    int answer = -1;
    TPrinterSetupHook previous = SetPrinterSetupHook([&](TPrinterSetupChoice& choice) {
        offered = choice;
        if (answer < 0) return false;
        choice.PrinterIndex = answer;
        return true;
    });
    struct RestoreHook {
        TPrinterSetupHook hook;
        ~RestoreHook() { SetPrinterSetupHook(hook); }
    } restoreHook{previous};
    TPrinterSetupDialog dialog(nullptr);
    EXPECT_FALSE(rpPrinterSetup(dialog));
    EXPECT_EQ(offered.Printers, (std::vector<std::string>{queue, "Print to PDF"}));
    EXPECT_EQ(offered.PrinterIndex, 1);
    EXPECT_EQ(layer.PrinterIndex, 1) << "a cancelled set-up keeps the printer";

    answer = 0;
    ASSERT_TRUE(rpPrinterSetup(dialog));
    EXPECT_EQ(Printer()->PrinterName(), queue);
    EXPECT_EQ(layer.PrinterIndex, 0);
    TrpReport report(nullptr);
    Prepare(report, {"Set-up page 1", "Set-up page 2"});
    report.PrintPreparedReport("", 1, false, pwAll);
    std::string pdf = server->WaitForOutput(std::chrono::seconds(30));
    ASSERT_NE(pdf, "") << "the chosen queue got no print; server log: " << ServerLog();
    EXPECT_EQ(PdfPageSizesOf(pdf).size(), 2u);
}

}  // namespace
