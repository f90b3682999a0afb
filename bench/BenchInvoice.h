#pragma once
// The synthetic invoices the timing programs write: about 7 KB each, a random customer,
// document date and line count, the same files for the same seed.
#include <QByteArray>
#include <QRandomGenerator>

namespace benchinv
{

inline QByteArray num(quint32 v, int width)
{
    return QByteArray::number(v).rightJustified(width, '0');
}

inline QByteArray party(const char* tag, const QByteArray& code, const QByteArray& name)
{
    return QByteArray("    <") + tag +
           ">\n      <DatiAnagrafici>\n        <IdFiscaleIVA>\n          <IdPaese>IT</IdPaese>\n"
           "          <IdCodice>" +
           code + "</IdCodice>\n        </IdFiscaleIVA>\n        <CodiceFiscale>" + code +
           "</CodiceFiscale>\n        <Anagrafica>\n          <Denominazione>" + name +
           "</Denominazione>\n        </Anagrafica>\n        <RegimeFiscale>RF01</RegimeFiscale>\n"
           "      </DatiAnagrafici>\n      <Sede>\n        <Indirizzo>VIA ROMA 1</Indirizzo>\n"
           "        <CAP>00100</CAP>\n        <Comune>ROMA</Comune>\n        <Nazione>IT</Nazione>\n"
           "      </Sede>\n    </" +
           tag + ">\n";
}

inline QByteArray invoice(int i, QRandomGenerator& rng)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<p:FatturaElettronica versione=\"FPR12\">\n  <FatturaElettronicaHeader>\n"
                   "    <DatiTrasmissione>\n      <ProgressivoInvio>" +
                   num(i, 5) + "</ProgressivoInvio>\n    </DatiTrasmissione>\n";
    x += party("CedentePrestatore", "01234567890", "DITTA EMITTENTE SRL");
    x += party("CessionarioCommittente", num(rng.bounded(100000000u), 11),
               "CLIENTE " + QByteArray::number(rng.bounded(500u)) + " SPA");
    x += "  </FatturaElettronicaHeader>\n  <FatturaElettronicaBody>\n    <DatiGenerali>\n"
         "      <DatiGeneraliDocumento>\n        <TipoDocumento>" +
         QByteArray(rng.bounded(8u) == 0 ? "TD04" : "TD01") +
         "</TipoDocumento>\n        <Divisa>EUR</Divisa>\n        <Data>2024-" +
         num(1 + rng.bounded(12u), 2) + "-" + num(1 + rng.bounded(28u), 2) + "</Data>\n        <Numero>" +
         QByteArray::number(i + 1) +
         "</Numero>\n      </DatiGeneraliDocumento>\n    </DatiGenerali>\n    <DatiBeniServizi>\n";
    const int lines = 3 + static_cast<int>(rng.bounded(20u));
    for (int l = 1; l <= lines; ++l)
        x += "      <DettaglioLinee>\n        <NumeroLinea>" + QByteArray::number(l) +
             "</NumeroLinea>\n        <Descrizione>ARTICOLO " + QByteArray::number(rng.bounded(100000u)) +
             "</Descrizione>\n        <PrezzoTotale>100.00</PrezzoTotale>\n      </DettaglioLinee>\n";
    x += "    </DatiBeniServizi>\n  </FatturaElettronicaBody>\n</p:FatturaElettronica>\n";
    return x;
}

} // namespace benchinv
