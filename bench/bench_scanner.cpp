// Header scanner throughput: writes N synthetic invoice files of realistic size into a
// temporary folder (some with a large base64 attachment), then times, R rounds each,
//   (a) reading the first 32,767 bytes of each file with open/read/close,
//   (b) the same through QFile,
//   (c) XML_ReadRecord on each file (the record only),
//   (d) XML_ReadHeader on each file (the record and its line),
//   (e) the raw read of (a) with an fstat of each file, the least the scanner must do, and
//   (f) (e) with one pass over the bytes read, the least any reader of them does,
// and prints the median files per second of each and the throughput of (c) and (d) as a
// share of the raw reads'. Whether TZ is set changes the cost of local time: it is printed.
//
//   bench_scanner [--files N] [--attach-every K] [--attach-kb S] [--rounds R] [--dir FOLDER]

#include "archive/M_XML.h"

#include "BenchRawRead.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <sys/resource.h>

namespace
{

QByteArray num(quint32 v, int width)
{
    return QByteArray::number(v).rightJustified(width, '0');
}

QByteArray party(const char* tag, QRandomGenerator& rng, bool person)
{
    const QByteArray code = num(rng.bounded(100000000u), 11);
    QByteArray name =
        person ? "<Nome>MARIO" + QByteArray::number(rng.bounded(1000u)) + "</Nome><Cognome>ROSSI</Cognome>"
               : "<Denominazione>SOCIETA' " + QByteArray::number(rng.bounded(100000u)) +
                     " &amp; FIGLI SRL (SEDE DI ROMA)</Denominazione>";
    return QByteArray("    <") + tag +
           ">\n      <DatiAnagrafici>\n        <IdFiscaleIVA>\n          "
           "<IdPaese>IT</IdPaese>\n          <IdCodice>" +
           code +
           "</IdCodice>\n        </IdFiscaleIVA>\n"
           "        <CodiceFiscale>" +
           code + "</CodiceFiscale>\n        <Anagrafica>\n          " + name +
           "\n        </Anagrafica>\n        <RegimeFiscale>RF01</RegimeFiscale>\n      </DatiAnagrafici>\n"
           "      <Sede>\n        <Indirizzo>VIA ROMA " +
           QByteArray::number(rng.bounded(300u)) +
           "</Indirizzo>\n        <CAP>00100</CAP>\n        <Comune>ROMA</Comune>\n        <Provincia>RM"
           "</Provincia>\n        <Nazione>IT</Nazione>\n      </Sede>\n    </" +
           tag + ">\n";
}

QByteArray invoice(int i, QRandomGenerator& rng, int attachBytes)
{
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<p:FatturaElettronica versione=\"FPR12\" xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/"
        "docs/xsd/fatture/v1.2\">\n  <FatturaElettronicaHeader>\n    <DatiTrasmissione>\n"
        "      <IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>01234567890</IdCodice></IdTrasmittente>\n"
        "      <ProgressivoInvio>" +
        num(i, 5) +
        "</ProgressivoInvio>\n"
        "      <FormatoTrasmissione>FPR12</FormatoTrasmissione>\n"
        "      <CodiceDestinatario>0000000</CodiceDestinatario>\n    </DatiTrasmissione>\n";
    x += party("CedentePrestatore", rng, rng.bounded(10u) == 0);
    x += party("CessionarioCommittente", rng, rng.bounded(5u) == 0);
    x += "  </FatturaElettronicaHeader>\n  <FatturaElettronicaBody>\n    <DatiGenerali>\n"
         "      <DatiGeneraliDocumento>\n        <TipoDocumento>" +
         QByteArray(rng.bounded(8u) == 0 ? "TD04" : "TD01") +
         "</TipoDocumento>\n        <Divisa>EUR</Divisa>\n        <Data>2019-" +
         num(1 + rng.bounded(12u), 2) + "-" + num(1 + rng.bounded(28u), 2) + "</Data>\n        <Numero>FT/" +
         QByteArray::number(i) +
         "</Numero>\n        <ImportoTotaleDocumento>1220.00</ImportoTotaleDocumento>\n"
         "      </DatiGeneraliDocumento>\n    </DatiGenerali>\n    <DatiBeniServizi>\n";
    const int lines = 3 + static_cast<int>(rng.bounded(25u));
    for (int l = 1; l <= lines; ++l)
        x += "      <DettaglioLinee>\n        <NumeroLinea>" + QByteArray::number(l) +
             "</NumeroLinea>\n        <Descrizione>ARTICOLO " + QByteArray::number(rng.bounded(100000u)) +
             " DESCRIZIONE DELLA FORNITURA</Descrizione>\n        <Quantita>2.00</Quantita>\n"
             "        <PrezzoUnitario>50.00</PrezzoUnitario>\n        <PrezzoTotale>100.00</PrezzoTotale>\n"
             "        <AliquotaIVA>22.00</AliquotaIVA>\n      </DettaglioLinee>\n";
    x += "      <DatiRiepilogo>\n        <AliquotaIVA>22.00</AliquotaIVA>\n        <ImponibileImporto>1000.00"
         "</ImponibileImporto>\n        <Imposta>220.00</Imposta>\n      </DatiRiepilogo>\n"
         "    </DatiBeniServizi>\n";
    if (attachBytes > 0) {
        QByteArray raw(attachBytes, Qt::Uninitialized);
        rng.fillRange(reinterpret_cast<quint32*>(raw.data()), attachBytes / 4);
        const QByteArray b64 = raw.toBase64();
        x += "    <Allegati>\n      <NomeAttachment>FT_" + QByteArray::number(i) +
             ".pdf</NomeAttachment>\n      <FormatoAttachment>PDF</FormatoAttachment>\n      <Attachment>";
        for (qsizetype at = 0; at < b64.size(); at += 76)
            x += b64.mid(at, 76) + '\n';
        x += "</Attachment>\n    </Allegati>\n";
    }
    x += "  </FatturaElettronicaBody>\n</p:FatturaElettronica>\n";
    return x;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Velocità del lettore delle testate FatturaPA"));
    cli.addHelpOption();
    const QCommandLineOption filesOpt(QStringLiteral("files"), QStringLiteral("Numero di file (20000)."),
                                      QStringLiteral("N"), QStringLiteral("20000"));
    const QCommandLineOption everyOpt(QStringLiteral("attach-every"),
                                      QStringLiteral("Un file su K ha un allegato grande (50)."),
                                      QStringLiteral("K"), QStringLiteral("50"));
    const QCommandLineOption kbOpt(QStringLiteral("attach-kb"), QStringLiteral("KB dell'allegato (300)."),
                                   QStringLiteral("S"), QStringLiteral("300"));
    const QCommandLineOption roundsOpt(QStringLiteral("rounds"),
                                       QStringLiteral("Ripetizioni di ogni misura (3)."), QStringLiteral("R"),
                                       QStringLiteral("3"));
    const QCommandLineOption dirOpt(QStringLiteral("dir"),
                                    QStringLiteral("Cartella in cui scrivere i file (temporanea)."),
                                    QStringLiteral("FOLDER"));
    cli.addOptions({filesOpt, everyOpt, kbOpt, roundsOpt, dirOpt});
    cli.process(app);
    const int count = qMax(1, cli.value(filesOpt).toInt());
    const int every = cli.value(everyOpt).toInt();
    const int attachBytes = qMax(0, cli.value(kbOpt).toInt()) * 1024;
    const int rounds = qMax(1, cli.value(roundsOpt).toInt());

    QTemporaryDir temp(cli.isSet(dirOpt) ? cli.value(dirOpt) + QStringLiteral("/bench-XXXXXX") : QString());
    if (!temp.isValid()) {
        std::fprintf(stderr, "Impossibile creare la cartella temporanea\n");
        return 1;
    }
    const QString folder = temp.path() + QLatin1Char('/');
    QStringList paths;
    paths.reserve(count);
    qint64 total = 0;
    QRandomGenerator rng(20190331);
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("IT01234567890_%1.xml").arg(i, 5, 10, QLatin1Char('0'));
        const QByteArray bytes = invoice(i, rng, every > 0 && i % every == 0 ? attachBytes : 0);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "Impossibile scrivere %s\n", qPrintable(path));
            return 1;
        }
        total += bytes.size();
        paths << path;
    }
    std::printf("%d file in %s, %.1f MB, un allegato di %d KB ogni %d file\n", count, qPrintable(folder),
                total / 1048576.0, attachBytes / 1024, every);

    const char* tz = std::getenv("TZ");
    std::printf("TZ %s\n", tz ? qPrintable(QStringLiteral("= \"%1\"").arg(QString::fromLocal8Bit(tz)))
                              : "non impostata (ora locale da /etc/localtime)");

    qint64 readBytes = 0;
    qint64 angles = 0;
    int found = 0, lines = 0;
    const std::function<void()> runs[] = {
        [&] { readBytes = benchinv::rawReadHeads(paths); },
        [&] {
            for (const QString& path : paths) {
                QFile f(path);
                if (f.open(QIODevice::ReadOnly)) f.read(XML_HeadBytes);
            }
        },
        [&] {
            found = 0;
            for (const QString& path : paths) {
                XML_Stru rec;
                try {
                    if (XML_ReadRecord(path, rec) == XML_Found::Invoice && !rec.NumDoc().isEmpty()) ++found;
                } catch (const XML_ReadError& e) {
                    std::fprintf(stderr, "%s\n", qPrintable(e.Description));
                }
            }
        },
        [&] {
            lines = 0;
            for (const QString& path : paths) {
                XML_Stru rec;
                try {
                    lines += XML_ReadHeader(path, rec).isEmpty() ? 0 : 1;
                } catch (const XML_ReadError& e) {
                    std::fprintf(stderr, "%s\n", qPrintable(e.Description));
                }
            }
        },
        [&] { benchinv::rawReadHeads(paths, benchinv::RawRead::Status); },
        [&] { angles += benchinv::rawReadHeads(paths, benchinv::RawRead::StatusAndPass); },
    };
    constexpr int kinds = 6;
    QList<double> seconds[kinds];
    double user[kinds] = {}, system[kinds] = {}; // summed over the rounds
    const auto cpu = [](double& u, double& s) {
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        u = r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6;
        s = r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
    };
    QElapsedTimer timer;
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < kinds; ++k) {
            double u0, s0, u1, s1;
            cpu(u0, s0);
            timer.start();
            runs[k]();
            seconds[k] << timer.nsecsElapsed() / 1e9;
            cpu(u1, s1);
            user[k] += u1 - u0;
            system[k] += s1 - s0;
        }
    double median[kinds];
    for (int k = 0; k < kinds; ++k) {
        std::sort(seconds[k].begin(), seconds[k].end());
        median[k] = seconds[k][seconds[k].size() / 2];
    }
    const char* names[kinds] = {"(a) lettura grezza (open/read):   ", "(b) lettura grezza (QFile):       ",
                                "(c) XML_ReadRecord (solo record): ", "(d) XML_ReadHeader (record+riga): ",
                                "(e) lettura grezza con fstat:     ", "(f) (e) e una passata sui byte:   "};
    std::printf("mediana di %d giri; %.1f MB letti per giro\n", rounds, readBytes / 1048576.0);
    for (int k = 0; k < kinds; ++k)
        std::printf("%s %10.0f file/s  (%.3f s, %.2f us/file: utente %.2f, sistema %.2f)\n", names[k],
                    count / median[k], median[k], median[k] * 1e6 / count, user[k] * 1e6 / count / rounds,
                    system[k] * 1e6 / count / rounds);
    std::printf("(c) rispetto alla lettura grezza: %.2f x (a), %.2f x (b)\n", median[0] / median[2],
                median[1] / median[2]);
    std::printf("(d) rispetto alla lettura grezza: %.2f x (a), %.2f x (b)  (obiettivo >= 0.80)\n",
                median[0] / median[3], median[1] / median[3]);
    std::printf("(e) rispetto alla lettura grezza: %.2f x (a)  (il massimo con open/fstat/read/close)\n",
                median[0] / median[4]);
    std::printf("(f) rispetto alla lettura grezza: %.2f x (a)  (%lld file senza NUL)\n", median[0] / median[5],
                static_cast<long long>(angles / rounds));
    std::printf("(%d numeri trovati, %d righe)\n", found, lines);
    return found == count && lines == count ? 0 : 2;
}
