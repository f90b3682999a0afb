// The smaller handlers of the main window: clicks and keys on the invoice list, the
// attachment pulled out of an invoice by a double click, the list shown in the viewer,
// the list font, the folder-list and ZIP-folder buttons and the labels.
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/F_Fold.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

QByteArray fixture(const QString& name)
{
    return TestEnv::readFile(QStringLiteral(PLICORA_FIXTURES "/fatturapa/") + name);
}

const QByteArray kJpegInvoice = fixture(QStringLiteral("IT01234567890_FPR04.xml"));
const QByteArray kPngInvoice = fixture(QStringLiteral("IT02780790107_11004.xml"));

// A name whose line breaks push its real extension out of sight.
const QString kHiddenDesktop =
    QStringLiteral("fattura_77.pdf") + QString(12, QLatin1Char('\n')) + QStringLiteral(".desktop");

// What the first attachment element holds, decoded on its own: the text between the
// first tags, without any white space.
QByteArray independentDecode(const QByteArray& xml)
{
    const qsizetype from = xml.indexOf("<Attachment>") + 12;
    QByteArray text = xml.mid(from, xml.indexOf("</Attachment>", from) - from);
    for (const char c : {' ', '\t', '\r', '\n'})
        text.replace(c, QByteArray());
    return QByteArray::fromBase64(text);
}

// The invoice with its attachment element's text put in place of the one it holds.
QByteArray withAttachmentText(const QByteArray& xml, const QByteArray& text)
{
    const qsizetype from = xml.indexOf("<Attachment>") + 12;
    const qsizetype to = xml.indexOf("</Attachment>", from);
    return xml.left(from) + text + xml.mid(to);
}

// A small invoice of the issued kind, for the layouts that sort by number; its
// attachment element holds the given text.
QByteArray invoiceText(const QString& number, const QString& attach, const QByteArray& elementText)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:FatturaElettronica versione=\"FPR12\">"
                   "<FatturaElettronicaHeader><CedentePrestatore><DatiAnagrafici><IdFiscaleIVA>"
                   "<IdPaese>IT</IdPaese><IdCodice>01234567890</IdCodice></IdFiscaleIVA><Anagrafica>"
                   "<Denominazione>ALFA SRL</Denominazione></Anagrafica></DatiAnagrafici></CedentePrestatore>"
                   "<CessionarioCommittente><DatiAnagrafici><CodiceFiscale>09876543210</CodiceFiscale>"
                   "<Anagrafica><Denominazione>BETA SPA</Denominazione></Anagrafica></DatiAnagrafici>"
                   "</CessionarioCommittente></FatturaElettronicaHeader><FatturaElettronicaBody>"
                   "<DatiGenerali><DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR"
                   "</Divisa><Data>2024-01-10</Data><Numero>" +
                   number.toUtf8() + "</Numero></DatiGeneraliDocumento></DatiGenerali>";
    if (!attach.isEmpty())
        x += "<Allegati><NomeAttachment>" + attach.toUtf8() + "</NomeAttachment>\n  <Attachment>" +
             elementText + "</Attachment></Allegati>";
    return x + "</FatturaElettronicaBody></p:FatturaElettronica>\n";
}

QByteArray invoice(const QString& number, const QString& attach, const QByteArray& content)
{
    return invoiceText(number, attach, "\n" + content.toBase64() + "\n  ");
}

// One test's program: the main window on one invoice folder, a viewer program that the
// desktop registers for JPEG and PNG files, and an end of process that is only noted.
struct Fixture {
    TestEnv env;
    QString folder;
    QString viewer;

    explicit Fixture(bool closingSlash = true)
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        G_PgmVisualizzatore = QStringLiteral("/usr/bin/lista-viewer");
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        setProcessEndHandler([](int) {});
        IniFile::write(kIni, kSec, QStringLiteral("LastCompact"), QStringLiteral("10/12/2026"));
        folder = env.work() + QStringLiteral("fatture/");
        QDir().mkpath(folder);
        const QString shown = closingSlash ? folder : folder.chopped(1);
        IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), shown);
        IniFile::write(kIni, kSec, QStringLiteral("DirID"), QString::number(MDB_FolderKey(shown)));
        env.dialogs().acceptOkBoxes = true;

        // The desktop's MIME database, without the desktop's programs.
        QDir().mkpath(env.root() + QStringLiteral("data"));
        QFile::link(QStringLiteral("/usr/share/mime"), env.root() + QStringLiteral("data/mime"));
        viewer = env.writeFile(env.root() + QStringLiteral("bin/imgview"), "#!/bin/sh\n");
        QFile::setPermissions(viewer, QFile::permissions(viewer) | QFile::ExeOwner);
        registerViewer(true);
    }
    ~Fixture()
    {
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setProcessEndHandler({});
        setModalRunner({});
    }

    // The viewer program is also the desktop's choice for these "type=imgview.desktop;" lines.
    QByteArray extraTypes;
    void registerViewer(bool on)
    {
        env.writeFile(env.root() + QStringLiteral("config/mimeapps.list"),
                      on ? "[Default Applications]\nimage/jpeg=imgview.desktop;\nimage/png=imgview.desktop;\n"
                           "image/gif=imgview.desktop;\napplication/pdf=imgview.desktop;\n" +
                               extraTypes
                         : "[Default Applications]\n");
        env.writeFile(env.root() + QStringLiteral("data/applications/imgview.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Img\nExec=" + viewer.toUtf8() + " %f\n");
    }

    QString write(const QString& name, const QByteArray& content)
    {
        return env.writeFile(folder + name, content);
    }

    F_ZipXML& open()
    {
        F_ZipXML& w = F_ZipXML::instance();
        w.Show();
        return w;
    }
    // The list of the folder built in that layout, as the list button builds it.
    F_ZipXML& listed(int layout)
    {
        F_ZipXML& w = open();
        w.Cmb_Ord->setCurrentIndex(layout);
        w.Cmd_ListNew_Click();
        return w;
    }
    static int rowOf(const QString& fileName)
    {
        const XmlList& l = *F_ZipXML::instance().Lst_XMLRows;
        for (int i = 0; i < l.ListCount(); ++i)
            if (l.FileName(i) == fileName) return i;
        return -1;
    }

    // The "_ALLEGATO." files of the program folder with their contents.
    QMap<QString, QByteArray> attachments() const
    {
        QMap<QString, QByteArray> out;
        for (const QString& n : QDir(G_DirApp).entryList({QStringLiteral("_ALLEGATO.*")}, QDir::Files))
            out.insert(n, TestEnv::readFile(G_DirApp + n));
        return out;
    }
    // Double click on a row with the question answered.
    void doubleClick(int row, int answer = vb::Yes)
    {
        F_ZipXML& w = F_ZipXML::instance();
        w.Lst_XMLRows->setListIndex(row);
        env.dialogs().answer(answer);
        w.Lst_XML_DblClick();
    }
    QStringList messages() { return env.dialogs().messages(); }
};

// The question of the double click: the name as shown, then the file it becomes when
// the extension is one the program writes.
QString question(const QString& shownName, const QString& file)
{
    QString q = QStringLiteral("Confermi visualizzazione Allegato ?\r\n") + shownName;
    if (!file.isEmpty()) q += QStringLiteral("\r\nFile : ") + file;
    return q;
}

QPoint rowCenter(QListView* v, int row)
{
    return v->visualRect(v->model()->index(row, 0)).center();
}

} // namespace

class TestZipXMLEvents : public QObject
{
    Q_OBJECT
  private slots:
    void attachment_data();
    void attachment();
    void secondExtractionReplacesFirst();
    void extractionOutcomes_data();
    void extractionOutcomes();
    void largeAttachment();
    void namesShownOnOneLine_data();
    void namesShownOnOneLine();
    void runnableNeverHandedOn_data();
    void runnableNeverHandedOn();
    void fieldsOfEachLayout_data();
    void fieldsOfEachLayout();
    void rowsWithoutAttachmentBeep_data();
    void rowsWithoutAttachmentBeep();
    void folderWithoutClosingSlash();

    void clickCountsSelection_data();
    void clickCountsSelection();
    void clickIgnoredWhileBuilding();
    void rightButtonKeepsSelectionAndShowsList();
    void listViewerThatCannotStart();

    void bigFont_data();
    void bigFont();
    void delDir_data();
    void delDir();
    void dirZip_data();
    void dirZip();
    void dirZipRightButtonOpensFolder();
    void labelsRunLayout();
    void virtualStoreFromLabel_data();
    void virtualStoreFromLabel();
};

// Each invoice is listed alone and its row double-clicked with Yes. outName "" is a
// refusal: the earlier files stay, nothing is started.
void TestZipXMLEvents::attachment_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("attachName");
    QTest::addColumn<QString>("outName");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<QString>("message"); // "" for none; <path> is the invoice
    QTest::addColumn<QString>("asked");   // the file the question names

    const QByteArray jpeg("\xFF\xD8\xFF", 3), png("\x89PNG", 4);
    const QString notFound = QStringLiteral("Allegato non trovato nel file :\r\n<path>");
    // Indented with tabs, as some programs write it.
    const QByteArray tabs = QString::fromLatin1(kJpegInvoice)
                                .replace(QRegularExpression(QStringLiteral("\n +")), QStringLiteral("\n\t\t"))
                                .toLatin1();
    QByteArray two = kJpegInvoice;
    two.replace("</Allegati>",
                "</Allegati><Allegati><NomeAttachment>Secondo.jpg</NomeAttachment><Attachment>" +
                    independentDecode(kPngInvoice).toBase64() + "</Attachment></Allegati>");
    QByteArray noOpen = kJpegInvoice;
    noOpen.replace("<Attachment>", "");
    QByteArray noClose = kJpegInvoice;
    noClose.replace("</Attachment>", "");
    const auto named = [](const QByteArray& ext) {
        return QByteArray(kJpegInvoice).replace("LogoA.jpg", "LogoA" + ext);
    };

    QTest::newRow("JPEG wrapped and indented") << kJpegInvoice << "LogoA.jpg"
                                               << "_ALLEGATO.JPG" << jpeg << ""
                                               << "_ALLEGATO.JPG";
    QTest::newRow("PNG on one line") << kPngInvoice << "test.png"
                                     << "_ALLEGATO.PNG" << png << ""
                                     << "_ALLEGATO.PNG";
    QTest::newRow("tab indentation") << tabs << "LogoA.jpg"
                                     << "_ALLEGATO.JPG" << jpeg << ""
                                     << "_ALLEGATO.JPG";
    QTest::newRow("two attachments: the first") << two << "LogoA.jpg"
                                                << "_ALLEGATO.JPG" << jpeg << ""
                                                << "_ALLEGATO.JPG";
    QTest::newRow("no opening tag") << noOpen << "LogoA.jpg"
                                    << "" << QByteArray() << notFound << "_ALLEGATO.JPG";
    QTest::newRow("no closing tag") << noClose << "LogoA.jpg"
                                    << "" << QByteArray() << notFound << "_ALLEGATO.JPG";
    QTest::newRow("not base64") << withAttachmentText(kJpegInvoice, "\n  *** non base64 ***  \n")
                                << "LogoA.jpg"
                                << "" << QByteArray() << notFound << "_ALLEGATO.JPG";
    QTest::newRow("empty element") << withAttachmentText(kJpegInvoice, "\n   \n") << "LogoA.jpg"
                                   << "" << QByteArray() << notFound << "_ALLEGATO.JPG";
    QTest::newRow("extension p?f") << named(".p?f") << "LogoA.p?f"
                                   << "" << QByteArray() << ""
                                   << "";
    QTest::newRow("extension too long") << named(".toolongexten") << "LogoA.toolongexten"
                                        << "" << QByteArray() << ""
                                        << "";
    QTest::newRow("no extension") << named("") << "LogoA"
                                  << "" << QByteArray() << ""
                                  << "";
}

void TestZipXMLEvents::attachment()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, attachName);
    QFETCH(QString, outName);
    QFETCH(QByteArray, magic);
    QFETCH(QString, message);
    QFETCH(QString, asked);
    Fixture fx;
    const QString path = fx.write(QStringLiteral("IT01234567890_00001.xml"), xml);
    fx.env.writeFile(G_DirApp + QStringLiteral("_ALLEGATO.JPG"), "OLD JPG");
    fx.env.writeFile(G_DirApp + QStringLiteral("_ALLEGATO.PNG"), "OLD PNG");
    const QMap<QString, QByteArray> before = fx.attachments();
    F_ZipXML& w = fx.listed(0);
    QCOMPARE(w.Lst_XMLRows->ListCount(), 1);
    fx.env.dialogs().calls.clear();
    const int beeps = fx.env.dialogs().beeps;

    fx.doubleClick(0);

    const auto& calls = fx.env.dialogs().calls;
    QVERIFY(!calls.isEmpty());
    QCOMPARE(calls.first().text, question(attachName, asked));
    QCOMPARE(calls.first().buttons(), int(vb::YesNo));
    QCOMPARE(calls.first().icon(), int(vb::Question));
    QCOMPARE(calls.first().title, F_ZipXML::Caption());
    const auto& starts = fx.env.launcher().starts;
    if (outName.isEmpty()) {
        QCOMPARE(fx.attachments(), before);
        QVERIFY(starts.isEmpty());
        QCOMPARE(fx.env.dialogs().beeps, beeps + 1);
        if (message.isEmpty()) {
            QCOMPARE(calls.size(), 1);
        } else {
            QCOMPARE(calls.size(), 2);
            QCOMPARE(calls[1].text, QString(message).replace(QStringLiteral("<path>"), path));
            QCOMPARE(calls[1].icon(), int(vb::Critical));
            QCOMPARE(calls[1].title, F_ZipXML::Caption());
        }
        return;
    }
    QCOMPARE(calls.size(), 1);
    QCOMPARE(fx.env.dialogs().beeps, beeps);
    const QByteArray out = TestEnv::readFile(G_DirApp + outName);
    QCOMPARE(out, independentDecode(xml));
    QVERIFY(out.startsWith(magic));
    QCOMPARE(fx.attachments().size(), 2); // the other type's file is left alone
    QCOMPARE(starts.size(), 1);
    QCOMPARE(starts.first().kind, QStringLiteral("detached"));
    QCOMPARE(starts.first().program, fx.viewer);
    QCOMPARE(starts.first().args, QStringList{G_DirApp + outName});
}

void TestZipXMLEvents::secondExtractionReplacesFirst()
{
    Fixture fx;
    fx.write(QStringLiteral("A.xml"), kJpegInvoice);
    // Another invoice whose attachment of the same type holds other bytes.
    const QByteArray other = withAttachmentText(kJpegInvoice, independentDecode(kPngInvoice).toBase64());
    fx.write(QStringLiteral("B.xml"), other);
    fx.listed(0);
    fx.doubleClick(Fixture::rowOf(QStringLiteral("A.xml")));
    QCOMPARE(TestEnv::readFile(G_DirApp + QStringLiteral("_ALLEGATO.JPG")), independentDecode(kJpegInvoice));
    fx.doubleClick(Fixture::rowOf(QStringLiteral("B.xml")));
    QCOMPARE(TestEnv::readFile(G_DirApp + QStringLiteral("_ALLEGATO.JPG")), independentDecode(other));
    QCOMPARE(fx.attachments().size(), 1);
    QCOMPARE(fx.env.launcher().starts.size(), 2);
}

// What follows a good decode: the answer No, no program for the type, a program that
// does not start, a file that cannot be written, an invoice gone since the list was made.
void TestZipXMLEvents::extractionOutcomes_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QString>("message"); // after the question; <out> is the output path
    QTest::newRow("answer No") << "no" << false << 0 << "";
    QTest::newRow("no program for the type")
        << "noprogram" << true << 0
        << "Nessun programma per aprire i file JPG.\r\nFile salvato in :\r\n<out>";
    QTest::newRow("program does not start")
        << "nostart" << true << 1 << "Impossibile avviare il programma :\r\n<viewer>";
    QTest::newRow("file cannot be written")
        << "nowrite" << false << 0 << "IMPOSSIBILE SCRIVERE IL FILE !!\r\n<out>";
    QTest::newRow("invoice gone") << "gone" << false << 0 << "";
}

void TestZipXMLEvents::extractionOutcomes()
{
    QFETCH(QString, fault);
    QFETCH(bool, written);
    QFETCH(int, starts);
    QFETCH(QString, message);
    Fixture fx;
    const QString invoicePath = fx.write(QStringLiteral("A.xml"), kJpegInvoice);
    const QString out = G_DirApp + QStringLiteral("_ALLEGATO.JPG");
    fx.listed(0);
    if (fault == QLatin1String("noprogram")) fx.registerViewer(false);
    if (fault == QLatin1String("nostart")) fx.env.launcher().startsSucceed = false;
    if (fault == QLatin1String("nowrite")) QDir().mkpath(out); // a folder stands where the file goes
    if (fault == QLatin1String("gone")) QFile::remove(invoicePath);
    fx.env.dialogs().calls.clear();
    const int beeps = fx.env.dialogs().beeps;

    fx.doubleClick(0, fault == QLatin1String("no") ? vb::No : vb::Yes);

    QCOMPARE(fx.env.dialogs().beeps, beeps + 1);
    QCOMPARE(TestEnv::readFile(out) == independentDecode(kJpegInvoice), written);
    QCOMPARE(fx.env.launcher().starts.size(), starts);
    QStringList want{question(QStringLiteral("LogoA.jpg"), QStringLiteral("_ALLEGATO.JPG"))};
    if (!message.isEmpty())
        want << QString(message)
                    .replace(QStringLiteral("<out>"), out)
                    .replace(QStringLiteral("<viewer>"), fx.viewer);
    QCOMPARE(fx.messages(), want);
    if (!message.isEmpty())
        QCOMPARE(fx.env.dialogs().calls.last().icon(),
                 int(fault == QLatin1String("noprogram") ? vb::Exclamation : vb::Critical));
}

// An attachment of tens of megabytes is read once and written whole.
void TestZipXMLEvents::largeAttachment()
{
    Fixture fx;
    QByteArray bytes(24 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    bytes.replace(0, 4, QByteArray("%PDF"));
    QByteArray wrapped;
    const QByteArray b64 = bytes.toBase64();
    for (qsizetype i = 0; i < b64.size(); i += 76)
        wrapped += "\r\n\t\t" + b64.mid(i, 76);
    fx.write(QStringLiteral("GRANDE.xml"),
             invoiceText(QStringLiteral("1"), QStringLiteral("Grande.pdf"), wrapped));
    fx.listed(0);
    fx.doubleClick(0);
    QCOMPARE(TestEnv::readFile(G_DirApp + QStringLiteral("_ALLEGATO.PDF")), bytes);
}

// Line breaks, tabs and direction marks in the name become blanks in the question, and
// the file named below it carries the extension really taken.
void TestZipXMLEvents::namesShownOnOneLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("file");
    QTest::newRow("line breaks hide .desktop")
        << kHiddenDesktop
        << QStringLiteral("fattura_77.pdf") + QString(12, QLatin1Char(' ')) + QStringLiteral(".desktop")
        << "_ALLEGATO.DESKTOP";
    QTest::newRow("tab and CR") << "fattura.pdf\t\r.sh"
                                << "fattura.pdf  .sh"
                                << "_ALLEGATO.SH";
    QTest::newRow("right-to-left override") << QStringLiteral("fattura\u202Efdp.exe") << "fattura fdp.exe"
                                            << "_ALLEGATO.EXE";
    QTest::newRow("line separator") << QStringLiteral("nota.pdf\u2028.jpg") << "nota.pdf .jpg"
                                    << "_ALLEGATO.JPG";
    QTest::newRow("plain name") << "Preventivo 2024.pdf"
                                << "Preventivo 2024.pdf"
                                << "_ALLEGATO.PDF";
}

void TestZipXMLEvents::namesShownOnOneLine()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QString, file);
    Fixture fx;
    fx.write(QStringLiteral("A.xml"), invoice(QStringLiteral("1"), name, "%PDF-1.4"));
    fx.listed(0);
    fx.doubleClick(0, vb::No);
    QCOMPARE(fx.messages(), QStringList{question(shown, file)});
    QVERIFY(fx.attachments().isEmpty());
}

// Files the desktop would run or install are written but never handed to a program,
// even one the desktop names for their type; the clerk is told where they are.
void TestZipXMLEvents::runnableNeverHandedOn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("outName");
    QTest::newRow("desktop entry behind line breaks")
        << kHiddenDesktop << QByteArray("[Desktop Entry]\nType=Application\nName=Fattura\nExec=true\n")
        << "_ALLEGATO.DESKTOP";
    QTest::newRow("shell script") << "avvio.sh" << QByteArray("#!/bin/sh\necho ciao\n") << "_ALLEGATO.SH";
    QTest::newRow("python script") << "conti.py" << QByteArray("print(1)\n") << "_ALLEGATO.PY";
    QTest::newRow("ELF program, unknown extension")
        << "dati.xyz"
        << QByteArray("\x7F"
                      "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x3E\0",
                      20)
        << "_ALLEGATO.XYZ";
    QTest::newRow("Windows program") << "setup.exe" << QByteArray("MZ\x90\0") << "_ALLEGATO.EXE";
    QTest::newRow("Debian package") << "aggiorna.deb" << QByteArray("!<arch>\ndebian-binary   ")
                                    << "_ALLEGATO.DEB";
    QTest::newRow("Java archive") << "firma.jar" << QByteArray("PK\x03\x04") << "_ALLEGATO.JAR";
}

void TestZipXMLEvents::runnableNeverHandedOn()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, outName);
    if (!QFileInfo::exists(QStringLiteral("/usr/share/mime/mime.cache")))
        QSKIP("the desktop's MIME database (shared-mime-info) is not installed");
    Fixture fx;
    fx.extraTypes = "application/x-desktop=imgview.desktop;\napplication/x-shellscript=imgview.desktop;\n"
                    "text/x-python=imgview.desktop;\napplication/x-executable=imgview.desktop;\n"
                    "application/x-ms-dos-executable=imgview.desktop;\n"
                    "application/vnd.debian.binary-package=imgview.desktop;\n"
                    "application/x-java-archive=imgview.desktop;\n"
                    "application/octet-stream=imgview.desktop;\n";
    fx.registerViewer(true);
    fx.write(QStringLiteral("A.xml"), invoice(QStringLiteral("1"), name, content));
    fx.listed(0);
    const int beeps = fx.env.dialogs().beeps;
    fx.doubleClick(0);
    const QString out = G_DirApp + outName;
    QCOMPARE(TestEnv::readFile(out), content);
    QVERIFY(fx.env.launcher().starts.isEmpty());
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 2);
    QCOMPARE(
        calls.last().text,
        QStringLiteral("L'allegato è un programma o uno script: non viene aperto.\r\nFile salvato in :\r\n") +
            out);
    QCOMPARE(calls.last().icon(), int(vb::Exclamation));
    QCOMPARE(fx.env.dialogs().beeps, beeps + 1);
}

// Rows keep their fields where the layout they were built with put them, whatever
// Cmb_Ord shows by the time of the double click.
void TestZipXMLEvents::fieldsOfEachLayout_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 0; layout < 6; ++layout)
        QTest::addRow("layout %d", layout) << layout;
}

void TestZipXMLEvents::fieldsOfEachLayout()
{
    QFETCH(int, layout);
    Fixture fx;
    const QByteArray gif("GIF89a-uno"), pdf("%PDF-1.4 due");
    fx.write(QStringLiteral("IT01234567890_00001.xml"),
             invoice(QStringLiteral("1"), QStringLiteral("Uno.gif"), gif));
    fx.write(QStringLiteral("IT01234567890_00002.xml"),
             invoice(QStringLiteral("2"), QStringLiteral("Due.pdf"), pdf));
    F_ZipXML& w = fx.listed(layout);
    QCOMPARE(w.Lst_XMLRows->Layout(), layout);
    w.Cmb_Ord->setCurrentIndex(layout == 0 ? 5 : 0);

    fx.doubleClick(Fixture::rowOf(QStringLiteral("IT01234567890_00001.xml")));
    fx.doubleClick(Fixture::rowOf(QStringLiteral("IT01234567890_00002.xml")));
    QCOMPARE(fx.messages(),
             (QStringList{question(QStringLiteral("Uno.gif"), QStringLiteral("_ALLEGATO.GIF")),
                          question(QStringLiteral("Due.pdf"), QStringLiteral("_ALLEGATO.PDF"))}));
    QCOMPARE(TestEnv::readFile(G_DirApp + QStringLiteral("_ALLEGATO.GIF")), gif);
    QCOMPARE(TestEnv::readFile(G_DirApp + QStringLiteral("_ALLEGATO.PDF")), pdf);
}

// Rows that name no attachment or no file beep before any question.
void TestZipXMLEvents::rowsWithoutAttachmentBeep_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("layout");
    QTest::newRow("receipt") << "IT01234567890_11111_RC_001.xml" << 0;
    QTest::newRow("billion laughs") << "billion_laughs.xml" << 0;
    QTest::newRow("gap row") << "" << 1;
    QTest::newRow("no current row") << "IT01234567890_FPR04.xml" << -1;
}

void TestZipXMLEvents::rowsWithoutAttachmentBeep()
{
    QFETCH(QString, file);
    QFETCH(int, layout);
    Fixture fx;
    int row = 0;
    if (file.isEmpty()) {
        // Issued invoices 1 and 3: the list puts a row for the missing 2 between them.
        fx.write(QStringLiteral("N1.xml"), invoice(QStringLiteral("1"), QStringLiteral("Uno.gif"), "GIF89a"));
        fx.write(QStringLiteral("N3.xml"), invoice(QStringLiteral("3"), QStringLiteral("Tre.gif"), "GIF89a"));
        fx.listed(1);
        QCOMPARE(F_ZipXML::instance().Lst_XMLRows->ListCount(), 3);
        row = 1;
        QVERIFY(F_ZipXML::instance().Lst_XMLRows->FileName(row).isEmpty());
    } else {
        fx.write(file, fixture(file));
        fx.listed(qMax(layout, 0));
        if (layout < 0) row = -1;
    }
    F_ZipXML& w = F_ZipXML::instance();
    fx.env.dialogs().calls.clear();
    const int beeps = fx.env.dialogs().beeps;
    w.Lst_XMLRows->setListIndex(row);
    w.Lst_XML_DblClick();
    QCOMPARE(fx.env.dialogs().beeps, beeps + 1);
    QVERIFY(fx.env.dialogs().calls.isEmpty());
    QVERIFY(fx.attachments().isEmpty());
}

// The folder kept without its closing "/" still leads to the invoice's file.
void TestZipXMLEvents::folderWithoutClosingSlash()
{
    Fixture fx(false);
    fx.write(QStringLiteral("A.xml"), kPngInvoice);
    F_ZipXML& w = fx.listed(0);
    QVERIFY(!w.Cmb_FoldXML->currentText().endsWith(QLatin1Char('/')));
    fx.doubleClick(0);
    QCOMPARE(TestEnv::readFile(G_DirApp + QStringLiteral("_ALLEGATO.PNG")), independentDecode(kPngInvoice));
}

// Selection changes the user makes with the mouse or the keys count the selection;
// changes made by code do not.
void TestZipXMLEvents::clickCountsSelection_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("viewXml");
    QTest::newRow("mouse click") << "click"
                                 << "1 righe selezionate" << true;
    QTest::newRow("mouse click and ctrl click") << "ctrlclick"
                                                << "2 righe selezionate" << false;
    QTest::newRow("arrow key") << "down"
                               << "1 righe selezionate" << true;
    QTest::newRow("shift and arrow keys") << "shiftdown"
                                          << "2 righe selezionate" << false;
    QTest::newRow("select all keys") << "ctrla"
                                     << "4 righe selezionate" << false;
    QTest::newRow("by code") << "code"
                             << "" << false;
}

void TestZipXMLEvents::clickCountsSelection()
{
    QFETCH(QString, how);
    QFETCH(QString, status);
    QFETCH(bool, viewXml);
    Fixture fx;
    F_ZipXML& w = fx.open();
    for (const char* r : {"a|uno", "b|due", "c|tre", "d|quattro"})
        w.Lst_XMLRows->AddItem(QString::fromLatin1(r));
    w.setStatus(QString());
    w.Cmd_ViewXML->setEnabled(false);
    QListView* v = w.Lst_XML;
    QWidget* vp = v->viewport();
    if (how == QLatin1String("click")) {
        QTest::mouseClick(vp, Qt::LeftButton, {}, rowCenter(v, 1));
    } else if (how == QLatin1String("ctrlclick")) {
        QTest::mouseClick(vp, Qt::LeftButton, {}, rowCenter(v, 1));
        QTest::mouseClick(vp, Qt::LeftButton, Qt::ControlModifier, rowCenter(v, 3));
    } else if (how == QLatin1String("down") || how == QLatin1String("shiftdown")) {
        w.Lst_XMLRows->setListIndex(0);
        QTest::keyClick(v, Qt::Key_Down);
        if (how == QLatin1String("shiftdown")) QTest::keyClick(v, Qt::Key_Down, Qt::ShiftModifier);
    } else if (how == QLatin1String("ctrla")) {
        QTest::keyClick(v, Qt::Key_A, Qt::ControlModifier);
    } else {
        w.Lst_XMLRows->setSelected(2, true);
        w.Lst_XMLRows->setListIndex(2);
    }
    QCOMPARE(w.status(), status);
    QCOMPARE(w.Cmd_ViewXML->isEnabled(), viewXml);
}

void TestZipXMLEvents::clickIgnoredWhileBuilding()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    w.Lst_XMLRows->AddItem(QStringLiteral("a|uno"));
    w.setStatus(QStringLiteral("Letto Doc. : 1"));
    w.B_Building = true;
    QTest::mouseClick(w.Lst_XML->viewport(), Qt::LeftButton, {}, rowCenter(w.Lst_XML, 0));
    QVERIFY(w.Lst_XMLRows->Selected(0));
    QCOMPARE(w.status(), QStringLiteral("Letto Doc. : 1"));
    w.B_Building = false;
}

// A right click on a row of a selection of three leaves the selection and the current
// row as they were, and shows the list in the viewer under a title.
void TestZipXMLEvents::rightButtonKeepsSelectionAndShowsList()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    w.Lst_XMLRows->setLayout(0);
    const QStringList rows{QStringLiteral("a | uno"), QStringLiteral("b | due"), QStringLiteral("c | tre"),
                           QStringLiteral("d | quattro"), QStringLiteral("e | cinque")};
    for (const QString& r : rows)
        w.Lst_XMLRows->AddItem(r);
    for (int i : {0, 1, 2})
        w.Lst_XMLRows->setSelected(i, true);
    w.Lst_XMLRows->setListIndex(2);
    w.Lbl_Hed->setText(QStringLiteral(" Data |  Nome  | Allegato"));
    w.setStatus(QString());
    QWidget* vp = w.Lst_XML->viewport();

    QTest::mousePress(vp, Qt::RightButton, {}, rowCenter(w.Lst_XML, 4));
    QCOMPARE(w.Lst_XMLRows->selectedRows(), (QList<int>{0, 1, 2}));
    QCOMPARE(w.Lst_XMLRows->ListIndex(), 2);
    QVERIFY(fx.env.launcher().starts.isEmpty());
    QTest::mouseRelease(vp, Qt::RightButton, {}, rowCenter(w.Lst_XML, 4));
    QTest::mouseDClick(vp, Qt::RightButton, {}, rowCenter(w.Lst_XML, 4));

    QCOMPARE(w.Lst_XMLRows->selectedRows(), (QList<int>{0, 1, 2}));
    QCOMPARE(w.Lst_XMLRows->ListIndex(), 2);
    QCOMPARE(w.status(), QString());           // no selection change, no count
    QVERIFY(fx.env.dialogs().calls.isEmpty()); // the right button double-clicks nothing
    const auto& starts = fx.env.launcher().starts;
    QCOMPARE(starts.size(), 1);
    QCOMPARE(starts.first().program, G_PgmVisualizzatore);
    const QString file = G_DirApp + QStringLiteral("LISTA.TXT");
    QCOMPARE(starts.first().args, QStringList{file});
    const QString key = w.FolderKey();
    QVERIFY(!key.isEmpty());
    QCOMPARE(QString::fromUtf8(TestEnv::readFile(file)),
             QStringLiteral("_Data !  Nome  ! Allegato  :  ") + key + QStringLiteral("\r\n") +
                 rows.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));

    // A left press still selects as before.
    QTest::mouseClick(vp, Qt::LeftButton, {}, rowCenter(w.Lst_XML, 4));
    QCOMPARE(w.Lst_XMLRows->selectedRows(), QList<int>{4});
    QCOMPARE(w.status(), QStringLiteral("1 righe selezionate"));
}

void TestZipXMLEvents::listViewerThatCannotStart()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    w.Lst_XMLRows->AddItem(QStringLiteral("a | uno"));
    fx.env.launcher().startsSucceed = false;
    QTest::mouseClick(w.Lst_XML->viewport(), Qt::RightButton, {}, rowCenter(w.Lst_XML, 0));
    QCOMPARE(fx.messages(),
             QStringList{QStringLiteral("Impossibile avviare il programma :\r\n") + G_PgmVisualizzatore});
    QCOMPARE(fx.env.dialogs().calls.first().icon(), int(vb::Critical));
    QCOMPARE(fx.env.dialogs().beeps, 1);
}

void TestZipXMLEvents::bigFont_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("beeps");
    QTest::newRow("7 grows to 8") << 7 << 8 << 0;
    QTest::newRow("8 only beeps") << 8 << 8 << 1;
}

void TestZipXMLEvents::bigFont()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, beeps);
    Fixture fx;
    F_ZipXML& w = fx.open();
    for (QWidget* wd : {static_cast<QWidget*>(w.Lst_XML), static_cast<QWidget*>(w.Lbl_Hed)}) {
        QFont f = wd->font();
        f.setPointSize(from);
        wd->setFont(f);
    }
    const QString family = w.Lst_XML->font().family();
    QTest::mouseClick(w.Cmd_Big, Qt::LeftButton);
    QCOMPARE(w.Lst_XML->font().pointSize(), to);
    QCOMPARE(w.Lbl_Hed->font().pointSize(), to);
    QCOMPARE(w.Lst_XML->font().family(), family);
    QCOMPARE(fx.env.dialogs().beeps, beeps);
}

// entries: how many folders the box holds; current: its index; answer: to the question.
void TestZipXMLEvents::delDir_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left"); // what the box holds after, by folder name
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<QStringList>("messages"); // <shown> is the folder shown
    QTest::addColumn<int>("beeps");
    const QString ask = QStringLiteral("Confermi eliminazione dall'elenco della cartella :\r\n<shown>");
    QTest::newRow("no entries") << 0 << -1 << 0 << QStringList() << -1 << QStringList() << 1;
    QTest::newRow("nothing shown") << 3 << -1 << 0 << QStringList{"A", "B", "C"} << -1
                                   << QStringList{"Nessuna Cartella Selezionata !!"} << 1;
    QTest::newRow("No") << 3 << 1 << int(vb::No) << QStringList{"A", "B", "C"} << 1 << QStringList{ask} << 1;
    QTest::newRow("Yes, three entries")
        << 3 << 1 << int(vb::Yes) << QStringList{"A", "C"} << 0 << QStringList{ask} << 0;
    QTest::newRow("Yes, the first entry")
        << 3 << 0 << int(vb::Yes) << QStringList{"B", "C"} << 0 << QStringList{ask} << 0;
    QTest::newRow("Yes, the last entry left")
        << 1 << 0 << int(vb::Yes) << QStringList() << -1 << QStringList{ask} << 0;
}

void TestZipXMLEvents::delDir()
{
    QFETCH(int, entries);
    QFETCH(int, current);
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    QFETCH(int, currentAfter);
    QFETCH(QStringList, messages);
    QFETCH(int, beeps);
    Fixture fx;
    IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), QString());
    IniFile::write(kIni, kSec, QStringLiteral("DirID"), QString());
    const QString base = fx.env.work();
    const QStringList names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    // The archive knows the folders and their files.
    QCOMPARE(MDB_Create(Pth_DirTmpMDB), 0);
    ado::Connection cn;
    cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
    Upd_Tabs_Compact(cn);
    for (int i = 0; i < entries; ++i) {
        const QString path = base + names[i] + QLatin1Char('/');
        IniFile::write(kIni, kSec, QStringLiteral("Pth_") + QString::number(i), path);
        cn.Execute(QStringLiteral(
                       "INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) VALUES (?, ?, 'E')"),
                   {MDB_FolderKey(path), path});
        cn.Execute(QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly) VALUES (?, ?, ?)"),
                   {MDB_FolderKey(path), path + names[i] + QStringLiteral(".xml"),
                    names[i] + QStringLiteral(".xml")});
    }
    auto count = [&](const QString& table) {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM ") + table, cn, ado::adOpenStatic, ado::adLockReadOnly);
        const qint64 n = rs.RecordCount();
        rs.Close();
        return n;
    };
    F_ZipXML& w = fx.open();
    QCOMPARE(w.Cmb_FoldXML->count(), entries);
    w.Cmb_FoldXML->setCurrentIndex(current);
    const QString shown = current >= 0 ? base + names[current] + QLatin1Char('/') : QString();
    w.Lbl_LastDo->setToolTip(QStringLiteral("0 | Click-Dx per Cambio Data"));
    // The shown folder's rows and last ZIP date.
    w.Lbl_LastDo->setText(QStringLiteral("2024/01/12"));
    if (entries > 0)
        w.Lst_XMLRows->AddItem(QStringLiteral("20240110 | ") + names[0] + QStringLiteral(".xml"),
                               base + names[0] + QStringLiteral("/") + names[0] + QStringLiteral(".xml"),
                               names[0] + QStringLiteral(".xml"));
    if (answer) fx.env.dialogs().answer(answer);

    QTest::mouseClick(w.Cmd_DelDir, Qt::LeftButton);

    QStringList have;
    for (int i = 0; i < w.Cmb_FoldXML->count(); ++i)
        have << QDir(w.Cmb_FoldXML->itemText(i)).dirName();
    QCOMPARE(have, left);
    QCOMPARE(w.Cmb_FoldXML->currentIndex(), currentAfter);
    QCOMPARE(w.Cmb_FoldXML->currentText().trimmed().isEmpty(), currentAfter < 0);
    for (QString& m : messages)
        m.replace(QStringLiteral("<shown>"), shown);
    QCOMPARE(fx.messages(), messages);
    if (!messages.isEmpty() && answer) {
        const auto& q = fx.env.dialogs().calls.first();
        QCOMPARE(q.style, int(vb::YesNo | vb::Question | vb::DefaultButton2));
        QCOMPARE(q.title, F_ZipXML::Caption());
    }
    if (!messages.isEmpty() && !answer) QCOMPARE(fx.env.dialogs().calls.first().icon(), int(vb::Critical));
    QCOMPARE(fx.env.dialogs().beeps, beeps);
    // The folder choice ran for the entry made current.
    // With the last one gone, no folder's rows, date or key is left.
    const bool noneLeft = entries > 0 && left.isEmpty();
    const QString wantKey = currentAfter >= 0 && answer == vb::Yes
                                ? QString::number(MDB_FolderKey(w.Cmb_FoldXML->itemText(currentAfter)))
                            : noneLeft ? QString()
                                       : QStringLiteral("0");
    QCOMPARE(w.FolderKey(), wantKey);
    QCOMPARE(w.Lst_XMLRows->ListCount(), entries > 0 && answer != vb::Yes ? 1 : 0);
    if (noneLeft)
        QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("__/__/____"));
    else if (answer != vb::Yes)
        QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("2024/01/12"));
    QCOMPARE(count(QStringLiteral("DIRBASE")), entries);
    QCOMPARE(count(QStringLiteral("FILES")), entries);
    cn.Close();
}

// The ZIP folder chosen in the folder chooser under the key "PCLR".
void TestZipXMLEvents::dirZip_data()
{
    QTest::addColumn<QString>("script");  // "ok": choose the folder; "cancel": leave
    QTest::addColumn<QString>("inviati"); // what stands at folder/Inviati before: "", "dir", "file"
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("message");
    QTest::newRow("accepted, Inviati made") << "ok"
                                            << "" << true << "";
    QTest::newRow("accepted, Inviati kept") << "ok"
                                            << "dir" << true << "";
    QTest::newRow("accepted, Inviati cannot be made")
        << "ok"
        << "file" << true << "IMPOSSIBILE SCRIVERE IL FILE !!\r\n<folder>/Inviati";
    QTest::newRow("cancelled with an older choice stored") << "cancel"
                                                           << "" << false << "";
}

void TestZipXMLEvents::dirZip()
{
    QFETCH(QString, script);
    QFETCH(QString, inviati);
    QFETCH(bool, changed);
    QFETCH(QString, message);
    Fixture fx;
    const QString chosen = fx.env.work() + QStringLiteral("Zip Commercialista");
    QDir().mkpath(chosen);
    if (inviati == QLatin1String("dir"))
        fx.env.writeFile(chosen + QStringLiteral("/Inviati/vecchio.zip"), "PK");
    if (inviati == QLatin1String("file")) fx.env.writeFile(chosen + QStringLiteral("/Inviati"), "x");
    const QString older = fx.env.work() + QStringLiteral("vecchia");
    QDir().mkpath(older);
    IniFile::write(kIni, QStringLiteral("Fold_Folders"), QStringLiteral("PCLR"), older);
    F_ZipXML& w = fx.open();
    w.Txt_DirZIP.setText(QStringLiteral("/prima/"));

    QString startedAt;
    setModalRunner([&](VbForm& form) {
        auto& f = static_cast<F_Fold&>(form);
        form.show();
        form.Activate();
        QCOMPARE(f.callerKey(), QStringLiteral("PCLR"));
        startedAt = f.dirPath();
        if (script == QLatin1String("ok")) {
            f.setDirPath(chosen);
            f.Cmd_OK_Click();
        } else {
            f.Cmd_Quit_Click();
        }
        fx.env.dialogs().beeps = 0; // the chooser beeps at each folder change
    });
    QTest::mouseClick(w.Cmd_DirZIP, Qt::LeftButton);
    setModalRunner({});

    QCOMPARE(startedAt, older); // the chooser starts where it was left
    QCOMPARE(w.Txt_DirZIP.Text(), changed ? chosen + QLatin1Char('/') : QStringLiteral("/prima/"));
    QCOMPARE(QFileInfo(chosen + QStringLiteral("/Inviati")).isDir(),
             inviati != QLatin1String("file") && changed);
    if (inviati == QLatin1String("dir"))
        QVERIFY(QFile::exists(chosen + QStringLiteral("/Inviati/vecchio.zip")));
    QVERIFY(!QFileInfo::exists(older + QStringLiteral("/Inviati")));
    QCOMPARE(fx.messages(), message.isEmpty()
                                ? QStringList()
                                : QStringList{QString(message).replace(QStringLiteral("<folder>"), chosen)});
    QCOMPARE(fx.env.dialogs().beeps > 0, !message.isEmpty());
}

// The right button opens the ZIP folder; the left one alone does not.
void TestZipXMLEvents::dirZipRightButtonOpensFolder()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    const QString zip = fx.env.work() + QStringLiteral("zip/");
    w.Txt_DirZIP.setText(QStringLiteral("  ") + zip);
    QTest::mouseClick(w.Cmd_DirZIP, Qt::RightButton);
    const auto& starts = fx.env.launcher().starts;
    QCOMPARE(starts.size(), 1);
    QCOMPARE(starts.first().kind, QStringLiteral("folder"));
    QCOMPARE(starts.first().program, zip);
    QVERIFY(fx.env.dialogs().calls.isEmpty());
}

// The mouse passing over the three labels lays the window out again: a window made
// smaller than its least size grows back.
void TestZipXMLEvents::labelsRunLayout()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    for (QLabel* l : {w.Label1, w.Label5, w.Lbl_FodZIP}) {
        const int wanted = w.width() + 40;
        w.N_MinWidth = wanted * 15;
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), l->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(l, &move);
        QCOMPARE(w.width(), wanted);
    }
}

// A double click on the ZIP folder's label offers the user's VirtualStore folder.
void TestZipXMLEvents::virtualStoreFromLabel_data()
{
    QTest::addColumn<bool>("store");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opened");
    QTest::newRow("Yes opens it") << true << int(vb::Yes) << true;
    QTest::newRow("No beeps") << true << int(vb::No) << false;
    QTest::newRow("no VirtualStore: only a beep") << false << 0 << false;
}

void TestZipXMLEvents::virtualStoreFromLabel()
{
    QFETCH(bool, store);
    QFETCH(int, answer);
    QFETCH(bool, opened);
    Fixture fx;
    const QByteArray oldLocal = qgetenv("LOCALAPPDATA");
    const QString local = fx.env.root() + QStringLiteral("local");
    qputenv("LOCALAPPDATA", local.toUtf8());
    if (store) QDir().mkpath(local + QStringLiteral("/VirtualStore"));
    F_ZipXML& w = fx.open();
    if (answer) fx.env.dialogs().answer(answer);
    QTest::mouseDClick(w.Lbl_FodZIP, Qt::LeftButton);
    if (oldLocal.isNull())
        qunsetenv("LOCALAPPDATA");
    else
        qputenv("LOCALAPPDATA", oldLocal);
    const QString path = local + QStringLiteral("/VirtualStore/");
    QCOMPARE(fx.messages(),
             store ? QStringList{QStringLiteral("Confermi apertura cartella :\r\n") + path} : QStringList());
    if (store) QCOMPARE(fx.env.dialogs().calls.first().title, QStringLiteral("OpenVirtualStore"));
    QCOMPARE(fx.env.launcher().starts.size(), opened ? 1 : 0);
    if (opened) QCOMPARE(fx.env.launcher().starts.first().program, path);
    QCOMPARE(fx.env.dialogs().beeps, opened ? 0 : 1);
}

QTEST_MAIN(TestZipXMLEvents)
#include "tst_zipxml_events.moc"
