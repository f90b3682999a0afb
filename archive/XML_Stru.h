#pragma once
#include <QDateTime>
#include <QString>

// Record of one FatturaPA invoice file: where the file lies, its size and date, and the
// header fields the scanner reads from it. Copyable: the scanner hands a filled record
// back to its caller by value.
class XML_Stru
{
  public:
    XML_Stru() = default;

    // Comparison key: the main fields, each followed by "§". Built from the fields set by
    // the time of its first read and kept from then on, through Clear and later changes.
    void setConfronto(const QString& key) { confronto_ = key; }
    QString Confronto() const;

    void setNomeFileSolo(const QString& v) { nomeFileSolo_ = v; }
    QString NomeFileSolo() const { return nomeFileSolo_; }
    void setLenFile(double v) { lenFile_ = v; }
    double LenFile() const { return lenFile_; }
    void setAttachName(const QString& v) { attachName_ = v; }
    QString AttachName() const { return attachName_; }
    void setDestinCF(const QString& v) { destinCF_ = v; }
    QString DestinCF() const { return destinCF_; }
    void setDestinPI(const QString& v) { destinPI_ = v; }
    QString DestinPI() const { return destinPI_; }
    void setDestin(const QString& v) { destin_ = v; }
    void setDestinCogn(const QString& v) { destinCogn_ = v; }
    QString DestinCogn() const { return destinCogn_; }
    void setDestinNome(const QString& v) { destinNome_ = v; }
    QString DestinNome() const { return destinNome_; }
    QString Destin() const { return destin_; }
    void setEmittCF(const QString& v) { emittCF_ = v; }
    QString EmittCF() const { return emittCF_; }
    void setEmittPI(const QString& v) { emittPI_ = v; }
    QString EmittPI() const { return emittPI_; }
    void setEmittCogn(const QString& v) { emittCogn_ = v; }
    QString EmittCogn() const { return emittCogn_; }
    void setEmittNome(const QString& v) { emittNome_ = v; }
    QString EmittNome() const { return emittNome_; }
    // A time-zone suffix ("+02:00", "-02:00", "Z") after the date is dropped.
    void setdatdoc(const QString& v);
    QString datdoc() const { return datdoc_; }
    void setNumDoc(const QString& v) { numDoc_ = v; }
    QString NumDoc() const { return numDoc_; }
    void setTipoDoc(const QString& v) { tipoDoc_ = v; }
    QString TipoDoc() const { return tipoDoc_; }
    void setEmitt(const QString& v) { emitt_ = v; }
    QString Emitt() const { return emitt_; }
    void setDataFile(const QString& v) { dataFile_ = v; }
    QString DataFile() const { return dataFile_; }

    // One line of the record laid out for a code (1..7, 31; any other code gives the
    // full layout). Never builds the comparison key.
    QString ToPipe(int code, const QString& sep) const;
    void zDebug() const {}
    // Every text field but the comparison key becomes ""; LenFile keeps its value.
    void Clear();

    // Stores the path unchanged and derives NomeFileSolo (name and extension, no folder).
    void setNomeFile(const QString& path);
    QString NomeFile() const { return nomeFile_; }

  private:
    mutable QString confronto_;
    QString nomeFile_, nomeFileSolo_, dataFile_, tipoDoc_, numDoc_, datdoc_;
    QString emitt_, emittPI_, emittCF_, emittNome_, emittCogn_;
    QString destin_, destinPI_, destinCF_, destinNome_, destinCogn_;
    QString attachName_;
    double lenFile_ = 0;
};

// A number written with a blank in front when it is not negative, "." as decimal mark and
// no grouping: 15230 gives " 15230", 0.5 gives " .5", -3 gives "-3".
QString XML_NumStr(double value);
// The general date form: dd/mm/yyyy, followed by " hh:mm:ss" unless the time is midnight.
QString XML_GeneralDate(const QDateTime& when);
