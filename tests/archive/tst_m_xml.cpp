#include "archive/M_XML.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QTest>

namespace
{

const QDateTime kStamp(QDate(2019, 3, 31), QTime(10, 22, 33));

// The record's non-empty header fields as name=value, in a fixed order.
QStringList fields(const XML_Stru& r)
{
    const QList<QPair<const char*, QString>> all = {
        {"Emitt", r.Emitt()},           {"EmittPI", r.EmittPI()},       {"EmittCF", r.EmittCF()},
        {"EmittNome", r.EmittNome()},   {"EmittCogn", r.EmittCogn()},   {"Destin", r.Destin()},
        {"DestinPI", r.DestinPI()},     {"DestinCF", r.DestinCF()},     {"DestinNome", r.DestinNome()},
        {"DestinCogn", r.DestinCogn()}, {"TipoDoc", r.TipoDoc()},       {"NumDoc", r.NumDoc()},
        {"datdoc", r.datdoc()},         {"AttachName", r.AttachName()},
    };
    QStringList out;
    for (const auto& [name, value] : all)
        if (!value.isEmpty()) out << QString::fromLatin1(name) + QLatin1Char('=') + value;
    return out;
}

QByteArray party(const char* tag, const QByteArray& inner)
{
    return QByteArray("<") + tag + ">" + inner + "</" + tag + ">";
}

QByteArray vat(const char* country, const char* code)
{
    return "<IdFiscaleIVA><IdPaese>" + QByteArray(country) + "</IdPaese><IdCodice>" + code +
           "</IdCodice></IdFiscaleIVA>";
}

QByteArray firm(const QByteArray& name)
{
    return "<Anagrafica><Denominazione>" + name + "</Denominazione></Anagrafica>";
}

QByteArray person(const QByteArray& given, const QByteArray& surname)
{
    return "<Anagrafica><Nome>" + given + "</Nome><Cognome>" + surname + "</Cognome></Anagrafica>";
}

QByteArray anag(const QByteArray& inner)
{
    return "<DatiAnagrafici>" + inner + "</DatiAnagrafici>";
}

QByteArray doc(const QByteArray& inner)
{
    return "<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento>" + inner +
           "</DatiGeneraliDocumento></DatiGenerali></FatturaElettronicaBody>";
}

QByteArray invoice(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:FatturaElettronica versione=\"FPR12\">"
           "<FatturaElettronicaHeader>" +
           body + "</FatturaElettronicaHeader></p:FatturaElettronica>\n";
}

const QByteArray kIssuer = party("CedentePrestatore", anag(vat("IT", "01234567890") + firm("ALFA SRL")));
const QByteArray kRecipient =
    party("CessionarioCommittente", anag("<CodiceFiscale>09876543210</CodiceFiscale>" + firm("BETA SPA")));
const QByteArray kDoc = doc("<TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa><Data>2019-03-31</Data>"
                            "<Numero>12</Numero>");
const QStringList kPlain = {"Emitt=ALFA SRL",       "EmittPI=IT-01234567890", "Destin=BETA SPA",
                            "DestinCF=09876543210", "TipoDoc=TD01",           "NumDoc=12",
                            "datdoc=2019-03-31"};

} // namespace

class TstMXml : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void headerFields_data();
    void headerFields();
    void decoding_data();
    void decoding();
    void onlyTheHeadIsRead();
    void earlyEndsLeaveTheRecord_data();
    void earlyEndsLeaveTheRecord();
    void pathAsGiven();
    void resultIsTheFullLine();
    void readErrorGoesToCaller();
    void fixtures_data();
    void fixtures();
    void everyFixtureIsCovered();
    void getTag_data();
    void getTag();

  private:
    QString write(const QString& name, const QByteArray& bytes);
    QTemporaryDir dir_;
    QString folder_;
};

void TstMXml::initTestCase()
{
    QVERIFY(dir_.isValid());
    folder_ = dir_.path() + QLatin1Char('/');
}

QString TstMXml::write(const QString& name, const QByteArray& bytes)
{
    const QString path = folder_ + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(bytes);
    f.flush(); // the date is set after the last write, or the write would move it
    f.setFileTime(kStamp, QFileDevice::FileModificationTime);
    f.close();
    return path;
}

void TstMXml::headerFields_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plain invoice") << invoice(kIssuer + kRecipient + kDoc) << kPlain;
    QTest::newRow("issuer with fiscal code only")
        << invoice(party("CedentePrestatore",
                         anag("<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>" + firm("ALFA SRL"))))
        << QStringList{"Emitt=ALFA SRL", "EmittCF=RSSMRA80A01H501U"};
    QTest::newRow("issuer is a person, no firm name in the file")
        << invoice(party("CedentePrestatore", anag(vat("IT", "01234567890") + person("MARIO", "ROSSI"))))
        << QStringList{"Emitt=MARIO ROSSI", "EmittPI=IT-01234567890", "EmittNome=MARIO", "EmittCogn=ROSSI"};
    QTest::newRow("person issuer, firm recipient")
        << invoice(party("CedentePrestatore", anag(vat("IT", "01234567890") + person("MARIO", "ROSSI"))) +
                   kRecipient)
        << QStringList{"Emitt=MARIO ROSSI", "EmittPI=IT-01234567890", "EmittNome=MARIO",
                       "EmittCogn=ROSSI",   "Destin=BETA SPA",        "DestinCF=09876543210"};
    QTest::newRow("firm issuer, person recipient")
        << invoice(kIssuer +
                   party("CessionarioCommittente",
                         anag("<CodiceFiscale>BNCLCU70A01F205X</CodiceFiscale>" + person("LUCA", "BIANCHI"))))
        << QStringList{"Emitt=ALFA SRL",      "EmittPI=IT-01234567890",
                       "Destin=LUCA BIANCHI", "DestinCF=BNCLCU70A01F205X",
                       "DestinNome=LUCA",     "DestinCogn=BIANCHI"};
    QTest::newRow("given name without surname")
        << invoice(party("CedentePrestatore", anag("<Anagrafica><Nome>MARIO</Nome></Anagrafica>")))
        << QStringList{"Emitt=MARIO", "EmittNome=MARIO"};
    QTest::newRow("ampersand entity decoded, others kept")
        << invoice(party("CedentePrestatore", anag(firm("ROSSI &amp; FIGLI &apos;SNC&apos;"))))
        << QStringList{"Emitt=ROSSI & FIGLI &apos;SNC&apos;"};
    QTest::newRow("branch in brackets dropped")
        << invoice(party("CedentePrestatore", anag(firm("  ALFA SRL (SEDE DI ROMA)  "))))
        << QStringList{"Emitt=ALFA SRL"};
    QTest::newRow("open bracket without close cuts the rest")
        << invoice(party("CedentePrestatore", anag(firm("ALFA SRL (SEDE")))) << QStringList{"Emitt=ALFA SRL"};
    QTest::newRow("VAT id without country")
        << invoice(party("CedentePrestatore",
                         anag("<IdFiscaleIVA><IdCodice>01234567890</IdCodice></IdFiscaleIVA>" + firm("A"))))
        << QStringList{"Emitt=A", "EmittPI=01234567890"};
    QTest::newRow("VAT id without code")
        << invoice(party("CedentePrestatore",
                         anag("<IdFiscaleIVA><IdPaese>IT</IdPaese></IdFiscaleIVA>" + firm("A"))))
        << QStringList{"Emitt=A", "EmittPI=IT-"};
    QTest::newRow("block without closing tag keeps only the name")
        << invoice("<CedentePrestatore>" +
                   anag(vat("IT", "01234567890") + "<CodiceFiscale>01234567890</CodiceFiscale>" +
                        firm("ALFA SRL")))
        << QStringList{"Emitt=ALFA SRL"};
    QTest::newRow("fiscal representative's VAT id is not the recipient's")
        << invoice(kIssuer +
                   party("CessionarioCommittente",
                         anag("<CodiceFiscale>09876543210</CodiceFiscale>" + firm("BETA SPA")) +
                             "<Sede><Nazione>IT</Nazione></Sede>" +
                             party("RappresentanteFiscale",
                                   vat("IT", "01234567891") + "<Denominazione>RAPPR</Denominazione>")) +
                   kDoc)
        << kPlain;
    QTest::newRow("party without DatiAnagrafici reads up to its own end")
        << invoice(party("CedentePrestatore",
                         vat("IT", "01234567890") + "<Denominazione>ALFA SRL</Denominazione>") +
                   party("CessionarioCommittente",
                         "<IdentificativiFiscali>" + vat("IT", "09876543210") +
                             "</IdentificativiFiscali><Denominazione>B</Denominazione>") +
                   party("TerzoIntermediario", anag("<CodiceFiscale>X</CodiceFiscale>")))
        << QStringList{"Emitt=ALFA SRL", "EmittPI=IT-01234567890", "Destin=B", "DestinPI=IT-09876543210"};
    QTest::newRow("recipient before issuer is not found")
        << invoice(kRecipient + kIssuer + kDoc)
        << QStringList{"Emitt=ALFA SRL", "EmittPI=IT-01234567890", "TipoDoc=TD01", "NumDoc=12",
                       "datdoc=2019-03-31"};
    QTest::newRow("tags are case-sensitive and literal")
        << invoice("<cedenteprestatore>" + anag(firm("A")) + "</cedenteprestatore>" +
                   "<p:CessionarioCommittente>" + anag(firm("B")) + "</p:CessionarioCommittente>")
        << QStringList{};
    QTest::newRow("date with time zone")
        << invoice(kIssuer + kRecipient +
                   doc("<TipoDocumento>TD01</TipoDocumento><Data>2019-03-31+01:00</Data>"
                       "<Numero>12</Numero>"))
        << kPlain;
    QTest::newRow("blanks around the date")
        << invoice(kIssuer + kRecipient +
                   doc("<TipoDocumento>TD01</TipoDocumento><Data>  2019-03-31 </Data><Numero>12</Numero>"))
        << kPlain;
    QTest::newRow("tab and line breaks around a zoned date")
        << invoice(kIssuer + kRecipient +
                   doc("<TipoDocumento>TD01</TipoDocumento><Data>\r\n\t2019-03-31+01:00\n </Data>"
                       "<Numero>12</Numero>"))
        << kPlain;
    QTest::newRow("date in UTC")
        << invoice(kIssuer + kRecipient +
                   doc("<TipoDocumento>TD01</TipoDocumento><Data>2019-03-31Z</Data><Numero>12</Numero>"))
        << kPlain;
    QTest::newRow("no document type")
        << invoice(doc("<Divisa>EUR</Divisa><Data>2019-03-31</Data><Numero>A/7</Numero>"))
        << QStringList{"NumDoc=A/7", "datdoc=2019-03-31"};
    QTest::newRow("values other than names are not trimmed")
        << invoice(doc("<TipoDocumento>TD04</TipoDocumento><Data>2019-03-31</Data><Numero> 12 </Numero>"))
        << QStringList{"TipoDoc=TD04", "NumDoc= 12 ", "datdoc=2019-03-31"};
    QTest::newRow("first attachment")
        << invoice(kDoc + "<Allegati><NomeAttachment>a.pdf</NomeAttachment></Allegati>"
                          "<Allegati><NomeAttachment>b.pdf</NomeAttachment></Allegati>")
        << QStringList{"TipoDoc=TD01", "NumDoc=12", "datdoc=2019-03-31", "AttachName=a.pdf"};
    QTest::newRow("receipt, not an invoice")
        << QByteArray("<?xml version=\"1.0\"?><types:RicevutaConsegna><NomeFile>x.xml</NomeFile>"
                      "</types:RicevutaConsegna>")
        << QStringList{};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("truncated inside a tag") << invoice(kIssuer).left(120) << QStringList{};
    QTest::newRow("truncated inside the name")
        << QByteArray("<CedentePrestatore><DatiAnagrafici><Anagrafica><Denominazione>ALFA S")
        << QStringList{"Emitt=ALFA S"};
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe<\x00"
                                                  "C\x80\x81\x00",
                                                  9)
                                    << QStringList{};
}

void TstMXml::headerFields()
{
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, expected);
    const QString path = write(QStringLiteral("case.xml"), xml);
    XML_Stru r;
    XML_ReadHeader(path, r);
    QCOMPARE(fields(r), expected);
    QCOMPARE(r.NomeFile(), path);
    QCOMPARE(r.NomeFileSolo(), QStringLiteral("case.xml"));
    QCOMPARE(r.LenFile(), double(xml.size()));
    QCOMPARE(r.DataFile(), QStringLiteral("31/03/2019 10:22:33"));
}

void TstMXml::decoding_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("emitt");
    const QByteArray utf8 = "SOCIET\xc3\x80 \xc3\xa0 \xe2\x82\xac";
    QTest::newRow("UTF-8") << invoice(party("CedentePrestatore", anag(firm(utf8))))
                           << QStringLiteral("SOCIETÀ à €");
    QTest::newRow("UTF-8 with BOM") << "\xef\xbb\xbf" + invoice(party("CedentePrestatore", anag(firm(utf8))))
                                    << QStringLiteral("SOCIETÀ à €");
    QTest::newRow("Windows-1252") << invoice(party("CedentePrestatore", anag(firm("SOCIET\xc0 \xe0 \x80"))))
                                  << QStringLiteral("SOCIETÀ à €");
    QTest::newRow("UTF-16 gives no tag")
        << QByteArray("\xff\xfe") +
               QByteArray(reinterpret_cast<const char*>(
                              QStringLiteral("<CedentePrestatore><Denominazione>A</Denominazione>").utf16()),
                          2 * 50)
        << QString();
}

void TstMXml::decoding()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, emitt);
    XML_Stru r;
    XML_ReadHeader(write(QStringLiteral("enc.xml"), xml), r);
    QCOMPARE(r.Emitt(), emitt);
}

void TstMXml::onlyTheHeadIsRead()
{
    // A UTF-8 name, then filler, then an "à" whose two bytes straddle the end of the head,
    // then an attachment that lies past it.
    const QByteArray head = invoice(party("CedentePrestatore", anag(firm("SOCIET\xc3\x80 ALFA")))) + kDoc;
    QByteArray body = head + "<Descrizione>";
    body += QByteArray(XML_HeadBytes - 1 - body.size(), 'x');
    body += "\xc3\xa0</Descrizione>";
    QCOMPARE(body.mid(XML_HeadBytes - 1, 2), QByteArray("\xc3\xa0"));
    XML_Stru r;
    XML_ReadHeader(write(QStringLiteral("big.xml"), body + "<NomeAttachment>late.pdf</NomeAttachment>"), r);
    QCOMPARE(r.Emitt(), QStringLiteral("SOCIETÀ ALFA"));
    QCOMPARE(r.NumDoc(), QStringLiteral("12"));
    QCOMPARE(r.AttachName(), QString());

    // The same attachment just inside the head is found.
    QByteArray near = head + "<NomeAttachment>in.pdf</NomeAttachment>";
    near += QByteArray(XML_HeadBytes * 3, ' ');
    XML_ReadHeader(write(QStringLiteral("near.xml"), near), r);
    QCOMPARE(r.AttachName(), QStringLiteral("in.pdf"));
    QCOMPARE(r.LenFile(), double(near.size()));
}

void TstMXml::earlyEndsLeaveTheRecord_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("result");
    QTest::newRow("empty path") << QString() << false << QString();
    QTest::newRow("blank path") << QStringLiteral("   ") << false << QString();
    QTest::newRow("missing file") << QStringLiteral("missing.xml") << false << QString();
    QTest::newRow("folder named like a file") << QStringLiteral("folder.xml") << false << QString();
    QTest::newRow("signed file") << QStringLiteral("x.xml.p7m") << true
                                 << QStringLiteral(" %1|31/03/2019 10:22:33||");
    QTest::newRow("no extension") << QStringLiteral("noext") << true
                                  << QStringLiteral(" %1|31/03/2019 10:22:33||");
}

void TstMXml::earlyEndsLeaveTheRecord()
{
    QFETCH(QString, name);
    QFETCH(bool, create);
    QFETCH(QString, result);
    QString path = name.trimmed().isEmpty() ? name : folder_ + name;
    const QByteArray content = invoice(kIssuer + kRecipient + kDoc);
    if (create) write(name, content);
    if (name == QLatin1String("folder.xml")) QVERIFY(QDir(folder_).mkpath(name));
    XML_Stru r;
    r.setNomeFile(QStringLiteral("/previous/file.xml"));
    r.setEmitt(QStringLiteral("PREVIOUS"));
    r.setLenFile(7);
    QCOMPARE(XML_ReadHeader(path, r), create ? result.arg(content.size()) : result);
    QCOMPARE(r.NomeFile(), QStringLiteral("/previous/file.xml"));
    QCOMPARE(r.Emitt(), QStringLiteral("PREVIOUS"));
    QCOMPARE(r.LenFile(), 7.0);
}

// Blanks belong to a Linux file name: "a.xml " is read, not "a.xml".
void TstMXml::pathAsGiven()
{
    const QString path = write(QStringLiteral("Trim.XmL"), invoice(kIssuer));
    const QString blank =
        write(QStringLiteral("Trim.XmL "), invoice(party("CedentePrestatore", anag(firm("GAMMA")))));
    XML_Stru r;
    // Its extension is "XmL ", so it is no invoice file: its own length comes back, the
    // record is left alone and the other file is not read in its place.
    const QString answer = XML_ReadHeader(blank, r);
    QVERIFY(answer.startsWith(XML_NumStr(double(QFileInfo(blank).size())) + QLatin1Char('|')));
    QVERIFY(QFileInfo(blank).size() != QFileInfo(path).size());
    QVERIFY(r.NomeFile().isEmpty());
    XML_ReadHeader(path, r);
    QCOMPARE(r.NomeFileSolo(), QStringLiteral("Trim.XmL"));
    QCOMPARE(r.Emitt(), QStringLiteral("ALFA SRL"));
    // A path with blanks around it names no file here: the record stays as it was.
    QCOMPARE(XML_ReadHeader(QStringLiteral("  ") + path + QStringLiteral("  "), r), QString());
    QCOMPARE(r.NomeFile(), path);
}

void TstMXml::resultIsTheFullLine()
{
    const QString path = write(QStringLiteral("line.xml"), invoice(kIssuer + kRecipient + kDoc));
    XML_Stru r;
    const QString line = XML_ReadHeader(path, r);
    QCOMPARE(line, r.ToPipe(0, QStringLiteral("|")));
    QVERIFY(line.startsWith(path + QStringLiteral("|line.xml| ")));
    // The key was not read by the scan: its place in the line is empty.
    QVERIFY(line.contains(QStringLiteral("|09876543210|||")));
}

void TstMXml::readErrorGoesToCaller()
{
    const QString path = TestEnv::unreadableFile(folder_ + QStringLiteral("locked.xml"), invoice(kIssuer));
    if (path.isEmpty()) QSKIP("no unreadable file can be made here");
    XML_Stru r;
    r.setEmitt(QStringLiteral("PREVIOUS"));
    try {
        XML_ReadHeader(path, r);
        QFAIL("the read error was not reported");
    } catch (const XML_ReadError& e) {
        QVERIFY(e.Number != 0);
        QVERIFY(e.Description.contains(path));
    }
    QCOMPARE(r.Emitt(), QStringLiteral("PREVIOUS"));
}

void TstMXml::fixtures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");
    const QString alpha = QStringLiteral("Emitt=SOCIETA' ALPHA SRL");
    const QString alphaPI = QStringLiteral("EmittPI=IT-01234567890");
    const QStringList doc123 = {"TipoDoc=TD01", "NumDoc=123", "datdoc=2014-12-18"};

    QTest::newRow("FPA01") << QStringLiteral("IT01234567890_FPA01.xml")
                           << QStringList{
                                  "Emitt=ALPHA SRL",      alphaPI,        "Destin=AMMINISTRAZIONE BETA",
                                  "DestinCF=09876543210", "TipoDoc=TD01", "NumDoc=123",
                                  "datdoc=2017-01-18"};
    QTest::newRow("FPR01") << QStringLiteral("IT01234567890_FPR01.xml")
                           << QStringList{alpha, alphaPI, "Destin=DITTA BETA", "DestinCF=09876543210"} +
                                  doc123;
    // The recipient has a fiscal code only; its fiscal representative's VAT id is not its own.
    QTest::newRow("FPR02") << QStringLiteral("IT01234567890_FPR02.xml")
                           << QStringList{alpha, alphaPI, "Destin=BETA GAMMA", "DestinCF=09876543210"} +
                                  doc123;
    // Two bodies: the first one's document.
    QTest::newRow("FPR03") << QStringLiteral("IT01234567890_FPR03.xml")
                           << QStringList{alpha, alphaPI, "Destin=BETA GAMMA", "DestinCF=09876543210"} +
                                  doc123;
    QTest::newRow("FPR03_BOM") << QStringLiteral("IT01234567890_FPR03_BOM.xml")
                               << QStringList{alpha, alphaPI, "Destin=BETA GAMMA", "DestinCF=09876543210"} +
                                      doc123;
    QTest::newRow("FPR04") << QStringLiteral("IT01234567890_FPR04.xml")
                           << QStringList{alpha, alphaPI, "Destin=DITTA BETA", "DestinCF=09876543210"} +
                                  doc123 + QStringList{"AttachName=LogoA.jpg"};
    QTest::newRow("FSM10")
        << QStringLiteral("IT01234567890_FSM10.xml")
        << QStringList{alpha,          alphaPI,      "Destin=BETA GAMMA", "DestinPI=IT-09876543210",
                       "TipoDoc=TD07", "NumDoc=123", "datdoc=2019-01-01"};
    QTest::newRow("receipt") << QStringLiteral("IT01234567890_11111_RC_001.xml") << QStringList{};
    QTest::newRow("11004") << QStringLiteral("IT02780790107_11004.xml")
                           << QStringList{alpha, "EmittPI=IT-02780790107", "Destin=AMMINISTRAZIONE BETA",
                                          "DestinCF=80213330584"} +
                                  doc123 + QStringList{"AttachName=test.png"};
    QTest::newRow("006 upper-case extension") << QStringLiteral("IT05979361218_006.XML")
                                              << QStringList{"Emitt=SOCIETA' ALPHA BETA SRL",
                                                             "EmittPI=IT-05979361218",
                                                             "Destin=AMMINISTRAZIONE BETA",
                                                             "DestinCF=80213330584",
                                                             "TipoDoc=TD01",
                                                             "NumDoc=FT/2015/0011",
                                                             "datdoc=2015-02-17"};
    QTest::newRow("person issuer") << QStringLiteral("ITBNCMRA80A01D548T_20001.xml")
                                   << QStringList{"Emitt=Mario Bianchi", "EmittPI=IT-01484710387",
                                                  "EmittNome=Mario",     "EmittCogn=Bianchi",
                                                  "Destin=BIZZ SRL",     "DestinCF=04006460275",
                                                  "TipoDoc=TD01",        "NumDoc=001",
                                                  "datdoc=2020-10-25"};
    QTest::newRow("billion laughs") << QStringLiteral("billion_laughs.xml") << QStringList{};
    // Not read at all: the record keeps what it had (see below).
    QTest::newRow("signed p7m") << QStringLiteral("IT02182030391_31.xml.p7m")
                                << QStringList{"Emitt=PREVIOUS"};
}

void TstMXml::fixtures()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    const QString source = QStringLiteral(PLICORA_FIXTURES "/fatturapa/") + file;
    QFile in(source);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(source));
    const QByteArray bytes = in.readAll();
    const QString path = write(file, bytes);

    XML_Stru r;
    r.setEmitt(QStringLiteral("PREVIOUS"));
    const QString result = XML_ReadHeader(path, r);
    QCOMPARE(fields(r), expected);
    if (file.endsWith(QLatin1String(".p7m"))) {
        QCOMPARE(result, QStringLiteral(" %1|31/03/2019 10:22:33||").arg(bytes.size()));
        QCOMPARE(r.NomeFile(), QString());
        return;
    }
    QCOMPARE(r.NomeFile(), path);
    QCOMPARE(r.NomeFileSolo(), file);
    QCOMPARE(r.LenFile(), double(bytes.size()));
    QCOMPARE(r.DataFile(), QStringLiteral("31/03/2019 10:22:33"));
    QCOMPARE(result, r.ToPipe(0, QStringLiteral("|")));
}

void TstMXml::everyFixtureIsCovered()
{
    // A sample added to the shared folder must get its golden row above.
    const QStringList covered = {
        "IT01234567890_FPA01.xml",  "IT01234567890_FPR01.xml",        "IT01234567890_FPR02.xml",
        "IT01234567890_FPR03.xml",  "IT01234567890_FPR03_BOM.xml",    "IT01234567890_FPR04.xml",
        "IT01234567890_FSM10.xml",  "IT01234567890_11111_RC_001.xml", "IT02780790107_11004.xml",
        "IT05979361218_006.XML",    "ITBNCMRA80A01D548T_20001.xml",   "billion_laughs.xml",
        "IT02182030391_31.xml.p7m",
    };
    const QStringList present = QDir(QStringLiteral(PLICORA_FIXTURES "/fatturapa")).entryList(QDir::Files);
    for (const QString& f : present)
        if (f != QLatin1String("SOURCES.md")) QVERIFY2(covered.contains(f), qPrintable(f));
}

void TstMXml::getTag_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("openers");
    QTest::addColumn<QString>("out");
    const auto row = [](const char* name, const QString& text, const QString& openers, const QString& out) {
        QTest::newRow(name) << text << openers << out;
    };
    row("branch dropped", QStringLiteral("ALFA SRL (SEDE DI ROMA)"), QStringLiteral("("),
        QStringLiteral("ALFA SRL"));
    row("text after the bracket kept", QStringLiteral("ALFA (X) SRL"), QStringLiteral("("),
        QStringLiteral("ALFA  SRL"));
    row("two brackets: first opener to last closer", QStringLiteral("A (B) C (D) E"), QStringLiteral("("),
        QStringLiteral("A  E"));
    row("no closer cuts the rest", QStringLiteral("ALFA SRL (SEDE"), QStringLiteral("("),
        QStringLiteral("ALFA SRL"));
    row("closer before opener closes nothing", QStringLiteral("A) B (C"), QStringLiteral("("),
        QStringLiteral("A) B"));
    row("no bracket: trimmed only", QStringLiteral("  ALFA SRL  "), QStringLiteral("("),
        QStringLiteral("ALFA SRL"));
    row("tabs and line breaks trimmed too", QStringLiteral("\r\n\tALFA SRL (X)\n\t"), QStringLiteral("("),
        QStringLiteral("ALFA SRL"));
    row("no openers: unchanged", QStringLiteral("  ALFA (X)  "), QStringLiteral(""),
        QStringLiteral("  ALFA (X)  "));
    row("square and curly", QStringLiteral("A [B] C {D}"), QStringLiteral("[{"), QStringLiteral("A [B] C"));
    row("last opener found decides", QStringLiteral("A (B) [C] D"), QStringLiteral("(["),
        QStringLiteral("A (B)  D"));
    row("other characters skipped", QStringLiteral("A <B> C"), QStringLiteral("<x"),
        QStringLiteral("A <B> C"));
}

void TstMXml::getTag()
{
    QFETCH(QString, text);
    QFETCH(QString, openers);
    QFETCH(QString, out);
    QCOMPARE(XML_GetTag(text, openers), out);
}

QTEST_GUILESS_MAIN(TstMXml)
#include "tst_m_xml.moc"
