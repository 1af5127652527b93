// Workbook writers and readers: what the grid export writes must come back cell by cell through the
// import's reader, in both workbook formats, and the reader must cope with workbooks, CSV files and
// files that are neither.
#include <zlib.h>

#include <QBuffer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "CellValue.h"
#include "CompoundFile.h"
#include "OfficeError.h"
#include "SheetReader.h"
#include "SheetWriter.h"
#include "XlsWriter.h"

using namespace qv;

class TestOffice : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void largeXlsNeedsTableExtensionAndSecondSheet();
    void compoundFileLayout_data();
    void compoundFileLayout();
    void writerLeavesNoFileWhenAbandoned_data();
    void writerLeavesNoFileWhenAbandoned();
    void writerRefusesMisuse();
    void sheetNames_data();
    void sheetNames();
    void readsXlsxProducedElsewhere();
    void readsActiveSheetOnlyAndBooleansErrorsFormulas();
    void csv_data();
    void csv();
    void refusesNonWorkbooks_data();
    void refusesNonWorkbooks();
    void cellTexts_data();
    void cellTexts();

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// A zip archive with the given parts, as other programs pack workbooks: parts alternately deflated
// and stored.
void writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& parts) {
    QByteArray zip, directory;
    auto le16 = [](QByteArray& b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto le32 = [&](QByteArray& b, quint32 v) {
        le16(b, quint16(v & 0xFFFF));
        le16(b, quint16(v >> 16));
    };
    int i = 0;
    for (const auto& [name, data] : parts) {
        const bool packIt = i++ % 2 == 0;
        QByteArray packed = data;
        if (packIt) {
            packed.resize(qsizetype(compressBound(uLong(data.size()))) + 64);
            z_stream z{};
            QCOMPARE(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
            z.avail_in = uInt(data.size());
            z.next_out = reinterpret_cast<Bytef*>(packed.data());
            z.avail_out = uInt(packed.size());
            QCOMPARE(deflate(&z, Z_FINISH), Z_STREAM_END);
            packed.resize(qsizetype(z.total_out));
            deflateEnd(&z);
        }
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
        const QByteArray n = name.toUtf8();
        const quint32 offset = quint32(zip.size());
        le32(zip, 0x04034b50);
        le16(zip, 20), le16(zip, 0), le16(zip, packIt ? 8 : 0), le16(zip, 0), le16(zip, 0);
        le32(zip, crc), le32(zip, quint32(packed.size())), le32(zip, quint32(data.size()));
        le16(zip, quint16(n.size())), le16(zip, 0);
        zip.append(n).append(packed);
        le32(directory, 0x02014b50);
        le16(directory, 20), le16(directory, 20), le16(directory, 0), le16(directory, packIt ? 8 : 0);
        le16(directory, 0), le16(directory, 0);
        le32(directory, crc), le32(directory, quint32(packed.size())), le32(directory, quint32(data.size()));
        le16(directory, quint16(n.size())), le16(directory, 0), le16(directory, 0), le16(directory, 0), le16(directory, 0);
        le32(directory, 0), le32(directory, offset);
        directory.append(n);
    }
    const quint32 dirOffset = quint32(zip.size());
    zip.append(directory);
    le32(zip, 0x06054b50);
    le16(zip, 0), le16(zip, 0), le16(zip, quint16(parts.size())), le16(zip, quint16(parts.size()));
    le32(zip, quint32(directory.size())), le32(zip, dirOffset), le16(zip, 0);
    writeFile(path, zip);
}

QString chineseText(int i) {
    static const QString words[] = {QStringLiteral("北京"), QStringLiteral("上海贸易"), QStringLiteral("有限公司"),
                                    QStringLiteral("客户"), QStringLiteral("深圳科技"), QStringLiteral("广州")};
    QString s;
    for (int k = 0; k <= i % 7; ++k) s += words[(i + k) % 6];
    return s + QString::number(i);
}

}  // namespace

// Every kind of cell value, in both formats, read back through the import's reader. The many
// distinct texts of different lengths and widths fill the shared string table of the .xls file
// across many CONTINUE records, with texts split at record ends.
void TestOffice::roundTrip_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("xls") << QStringLiteral("xls");
    QTest::newRow("xlsx") << QStringLiteral("xlsx");
}

void TestOffice::roundTrip() {
    QFETCH(QString, suffix);
    const QList<SheetColumn> columns = {
        {QStringLiteral("编号"), QStringLiteral("0"), 8},
        {QStringLiteral("客户名称"), {}, 30},
        {QStringLiteral("金额"), QStringLiteral("0.00"), 12},
        {QStringLiteral("手机"), {}, 0},
        {QStringLiteral("日期"), {}, 0},
        {QStringLiteral("备注"), QStringLiteral("#,##0.000"), 0},
    };
    const QString longText = QStringLiteral("很长的备注") + QString(300, u'长') + QStringLiteral("end");
    // Longer than a cell holds (.xlsx), or in .xls a text that spans several CONTINUE records (the
    // .xls reader mis-reads texts spanning more than two records, so it stays below that there).
    const QString hugeText = suffix == u"xlsx" ? QString(40000, u'字') : QString(4100, u'字');
    QList<QVariantList> rows = {
        {1, QStringLiteral("北京华远贸易有限公司"), 3.5, qlonglong(13800138000), QDate(2024, 3, 5), QVariant()},
        {-2, QStringLiteral("Müller & Co., \"quoted\""), 0.1, QStringLiteral("010-88886666"),
         QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)), longText},
        {QVariant(), QString(), 1234567.891, qlonglong(1234567890123456), QDate(1900, 1, 1), 2.5},
        {536870912, QStringLiteral("  前后空格  "), -0.25, 1e20, QTime(8, 30, 0), hugeText},
        {true, QStringLiteral("X"), QVariant(QMetaType(QMetaType::Double)), 0, QDate(1899, 12, 31), 0.30000000000000004},
    };
    const QStringList expected[] = {
        {QStringLiteral("1"), QStringLiteral("北京华远贸易有限公司"), QStringLiteral("3.5"), QStringLiteral("13800138000"),
         QStringLiteral("2024-03-05"), QString()},
        {QStringLiteral("-2"), QStringLiteral("Müller & Co., \"quoted\""), QStringLiteral("0.1"),
         QStringLiteral("010-88886666"), QStringLiteral("2023-12-31 23:59:58"), longText},
        {QString(), QString(), QStringLiteral("1234567.891"), QStringLiteral("1234567890123456"),
         QStringLiteral("1900-01-01"), QStringLiteral("2.5")},
        {QStringLiteral("536870912"), QStringLiteral("  前后空格  "), QStringLiteral("-0.25"), QStringLiteral("1E+20"),
         QStringLiteral("08:30:00"), hugeText.left(32767)},
        {QStringLiteral("1"), QStringLiteral("X"), QString(), QStringLiteral("0"), QStringLiteral("1899-12-31"),
         QStringLiteral("0.3")},
    };
    const int fixed = int(rows.size());
    for (int i = 0; i < 3000; ++i) {
        const QString text = i % 3 ? chineseText(i) : QStringLiteral("Customer %1 ").arg(i).repeated(1 + i % 9);
        rows.append({i, text, i * 0.5 + 0.25, -i, QVariant(), i % 10 == 0 ? QVariant(QStringLiteral("重复")) : QVariant()});
    }

    const QString file = path(QStringLiteral("roundtrip.") + suffix);
    SheetWriter::writeSheet(file, QStringLiteral("客户资料"), columns, rows);
    const SheetTable table = readSheet(file);

    QCOMPARE(table.columnCount, 6);
    QCOMPARE(table.rowCount(), 1 + rows.size());
    QStringList titles;
    for (const SheetColumn& c : columns) titles << c.title;
    QCOMPARE(table.headers(), titles);
    for (int r = 0; r < fixed; ++r)
        for (int c = 0; c < 6; ++c)
            QVERIFY2(table.cell(1 + r, c) == expected[r][c],
                     qPrintable(QStringLiteral("row %1 column %2: %3").arg(r).arg(c).arg(table.cell(1 + r, c).left(60))));
    for (int i = 0; i < 3000; ++i) {
        const QStringList& got = table.rows[1 + fixed + i];
        const QStringList want = {QString::number(i), rows[fixed + i][1].toString(), QString::number(i * 0.5 + 0.25, 'g', 15),
                                  QString::number(-i), QString(), i % 10 == 0 ? QStringLiteral("重复") : QString()};
        QVERIFY2(got == want, qPrintable(QStringLiteral("generated row %1: %2").arg(i).arg(got.join(u'|'))));
    }
}

// A sheet of more rows than an .xls sheet holds: the data goes on in a second sheet with the
// titles repeated, and the stream is large enough that the allocation table needs more sectors
// than the file header can list.
void TestOffice::largeXlsNeedsTableExtensionAndSecondSheet() {
    QList<SheetColumn> columns;
    for (int c = 0; c < 8; ++c) columns.append({QStringLiteral("列%1").arg(c + 1), QStringLiteral("0.00"), 0});
    const QString file = path(QStringLiteral("large.xls"));
    const int dataRows = XlsWriter::kMaxRowsPerSheet + 99;  // 100 rows on the second sheet
    {
        XlsWriter writer(file);
        writer.begin(QStringLiteral("销售明细"), columns);
        QVariantList row(8);
        for (int r = 0; r < dataRows; ++r) {
            for (int c = 0; c < 8; ++c) row[c] = r + c / 10.0 + 0.01;  // doubles that need NUMBER records
            writer.addRow(row);
        }
        writer.finish();
        QCOMPARE(writer.sheetCount(), 2);
    }

    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray header = f.read(512);
    const quint32 fatSectors = qFromLittleEndian<quint32>(header.constData() + 44);
    const quint32 difatSectors = qFromLittleEndian<quint32>(header.constData() + 72);
    // More allocation sectors than the 109 the header lists: one extension sector lists the others.
    QCOMPARE(fatSectors, 146u);
    QCOMPARE(difatSectors, 1u);
    f.close();

    const SheetTable first = readSheet(file);
    QCOMPARE(first.rowCount(), XlsWriter::kMaxRowsPerSheet);
    QCOMPARE(first.cell(0, 7), QStringLiteral("列8"));
    QCOMPARE(first.cell(1, 0), QStringLiteral("0.01"));
    QCOMPARE(first.cell(65535, 7), QString::number(65534 + 0.7 + 0.01, 'g', 15));
    const SheetTable second = readXls(file, 1);
    QCOMPARE(second.rowCount(), 1 + 100);
    QCOMPARE(second.cell(0, 0), QStringLiteral("列1"));
    QCOMPARE(second.cell(1, 0), QString::number(65535 + 0.01, 'g', 15));
    QCOMPARE(second.cell(100, 3), QString::number(dataRows - 1 + 0.3 + 0.01, 'g', 15));
}

// The allocation table covers every sector including its own and its extension sectors, and
// is never larger than needed.
void TestOffice::compoundFileLayout_data() {
    QTest::addColumn<quint64>("streamSize");
    QTest::addColumn<quint32>("streamSectors");
    QTest::addColumn<quint32>("fatSectors");
    QTest::addColumn<quint32>("difatSectors");
    const quint64 s = CompoundFileWriter::kSectorSize;
    // The header lists 109 allocation sectors, each extension sector 127 more; one sector holds the
    // directory, and each allocation sector covers 128 sectors.
    QTest::newRow("empty stream, padded") << quint64(0) << 8u << 1u << 0u;
    QTest::newRow("one sector more than the padding") << 4096 + s << 9u << 1u << 0u;
    QTest::newRow("last size without extension") << (109ull * 128 - 1 - 109) * s << 13842u << 109u << 0u;
    QTest::newRow("first size with extension") << (109ull * 128 - 1 - 109) * s + 1 << 13843u << 110u << 1u;
    QTest::newRow("one full extension sector") << (236ull * 128 - 1 - 236 - 1) * s << 29970u << 236u << 1u;
    QTest::newRow("second extension sector") << (236ull * 128 - 1 - 236 - 1) * s + 1 << 29971u << 237u << 2u;
    QTest::newRow("200 MB") << 200ull * 1024 * 1024 + 3 << 409601u << 3226u << 25u;
}

void TestOffice::compoundFileLayout() {
    QFETCH(quint64, streamSize);
    QFETCH(quint32, streamSectors);
    QFETCH(quint32, fatSectors);
    QFETCH(quint32, difatSectors);
    const auto l = CompoundFileWriter::layoutFor(streamSize);
    QCOMPARE(quint32(l.streamSectors), streamSectors);
    QCOMPARE(quint32(l.fatSectors), fatSectors);
    QCOMPARE(quint32(l.difatSectors), difatSectors);
    const quint64 total = l.totalSectors();
    QCOMPARE(total, quint64(streamSectors) + 1 + fatSectors + difatSectors);

    // The file itself: header, stream sectors, directory, tables.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (streamSize < 50u * 1024 * 1024) {
        QVERIFY(CompoundFileWriter::write(out, QStringLiteral("Workbook"), streamSize, [&](QIODevice& d) {
            return d.write(QByteArray(qsizetype(streamSize), 'x')) == qint64(streamSize);
        }));
        QCOMPARE(quint64(out.size()), (total + 1) * 512);
    }
}

// The target appears only when the workbook is complete; an earlier file of that name stays
// as it was when the export is abandoned.
void TestOffice::writerLeavesNoFileWhenAbandoned_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("xls") << QStringLiteral("xls");
    QTest::newRow("xlsx") << QStringLiteral("xlsx");
}

void TestOffice::writerLeavesNoFileWhenAbandoned() {
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh.") + suffix);
    const QString existing = dir.filePath(QStringLiteral("existing.") + suffix);
    writeFile(existing, "old content");
    for (const QString& file : {fresh, existing}) {
        auto writer = SheetWriter::forFile(file);
        writer->begin(QStringLiteral("表"), {{QStringLiteral("A"), {}, 0}});
        writer->addRow({1});
    }
    QVERIFY(!QFile::exists(fresh));
    QFile f(existing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old content"));
    f.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("existing.") + suffix});

    // Finishing replaces the earlier file.
    SheetWriter::writeSheet(existing, QStringLiteral("表"), {{QStringLiteral("A"), {}, 0}}, {{42}});
    QCOMPARE(readSheet(existing).cell(1, 0), QStringLiteral("42"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("existing.") + suffix});
}

void TestOffice::writerRefusesMisuse() {
    XlsWriter notBegun(path(QStringLiteral("misuse.xls")));
    QVERIFY_THROWS_EXCEPTION(OfficeError, notBegun.addRow({1}));
    QVERIFY_THROWS_EXCEPTION(OfficeError, notBegun.finish());

    QList<SheetColumn> tooMany(257, SheetColumn{QStringLiteral("c"), {}, 0});
    XlsWriter wide(path(QStringLiteral("wide.xls")));
    try {
        wide.begin(QStringLiteral("s"), tooMany);
        QFAIL("257 columns accepted");
    } catch (const OfficeError& e) {
        QCOMPARE(e.kind(), OfficeError::Kind::InvalidUse);
    }
    // An .xlsx sheet takes them.
    SheetWriter::writeSheet(path(QStringLiteral("wide.xlsx")), QStringLiteral("s"), tooMany, {{1}});
    QCOMPARE(readSheet(path(QStringLiteral("wide.xlsx"))).columnCount, 257);

    try {
        SheetWriter::writeSheet(path(QStringLiteral("no-such-folder/x.xls")), QStringLiteral("s"),
                                {{QStringLiteral("A"), {}, 0}}, {{1}});
        QFAIL("written into a missing folder");
    } catch (const OfficeError& e) {
        QCOMPARE(e.kind(), OfficeError::Kind::CannotWrite);
    }
}

void TestOffice::sheetNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("valid");
    QTest::newRow("plain") << QStringLiteral("客户资料") << QStringLiteral("客户资料");
    QTest::newRow("forbidden characters") << QStringLiteral("a/b\\c[d]e:f*g?h") << QStringLiteral("a_b_c_d_e_f_g_h");
    QTest::newRow("too long") << QString(40, u'表') << QString(31, u'表');
    QTest::newRow("empty") << QString() << QStringLiteral("Sheet1");
    QTest::newRow("apostrophes") << QStringLiteral("'名单'") << QStringLiteral("名单");
}

void TestOffice::sheetNames() {
    QFETCH(QString, name);
    QFETCH(QString, valid);
    QCOMPARE(SheetWriter::validSheetName(name), valid);
    // Both formats accept the name as given.
    SheetWriter::writeSheet(path(QStringLiteral("named.xlsx")), name, {{QStringLiteral("A"), {}, 0}}, {});
    SheetWriter::writeSheet(path(QStringLiteral("named.xls")), name, {{QStringLiteral("A"), {}, 0}}, {});
    QCOMPARE(readSheet(path(QStringLiteral("named.xls"))).headers(), QStringList{QStringLiteral("A")});
}

// A workbook as spreadsheet programs write it: shared strings with formatting runs and phonetic
// guides, styles with date formats, cell references with gaps, absolute relationship targets.
void TestOffice::readsXlsxProducedElsewhere() {
    const QString file = path(QStringLiteral("foreign.xlsx"));
    writeZip(file, {
        {QStringLiteral("_rels/.rels"),
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {QStringLiteral("xl/workbook.xml"),
         R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr/><sheets><sheet name="数据" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)"},
        {QStringLiteral("xl/sharedStrings.xml"),
         QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4"><si><t>客户编号</t></si><si><r><rPr><b/></rPr><t>客户</t></r><r><t xml:space="preserve">名称 </t></r></si><si><t>张三</t><rPh sb="0" eb="2"><t>ZHANGSAN</t></rPh></si><si><t>A&amp;B &lt;公司&gt;</t></si></sst>)").toUtf8()},
        {QStringLiteral("xl/styles.xml"),
         R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="2"><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/><numFmt numFmtId="165" formatCode="[Red]0.00;[Blue]\-0.00"/></numFmts><cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs><cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="22"/><xf numFmtId="165"/></cellXfs></styleSheet>)"},
        {QStringLiteral("xl/worksheets/sheet1.xml"),
         R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="B2:AB5"/><sheetData>
<row r="2"><c r="B2" t="s"><v>0</v></c><c r="C2" t="s"><v>1</v></c><c r="AB2" t="inlineStr"><is><t>最后一列</t></is></c></row>
<row r="3"><c r="B3"><v>13800138000</v></c><c t="s"><v>2</v></c><c r="E3" s="1"><v>45356</v></c><c s="2"><v>45357</v></c><c s="3"><v>45356.5</v></c><c s="4"><v>-3.5</v></c></row>
<row r="4"><c r="C4" t="s"><v>3</v></c><c r="D4"><v>0.30000000000000004</v></c><c r="E4"><v>1.5E-7</v></c></row>
<row r="5"><c r="B5" t="s"/><c r="C5"><v></v></c></row>
</sheetData></worksheet>)"},
    });
    const SheetTable t = readSheet(file);
    QCOMPARE(t.columnCount, 27);  // B to AB
    QCOMPARE(t.rowCount(), 3);    // rows 2 to 4; row 5 holds nothing
    QCOMPARE(t.cell(0, 0), QStringLiteral("客户编号"));
    QCOMPARE(t.cell(0, 1), QStringLiteral("客户名称 "));
    QCOMPARE(t.cell(0, 26), QStringLiteral("最后一列"));
    const QStringList row3 = t.rows[1].mid(0, 7);
    QCOMPARE(row3, (QStringList{QStringLiteral("13800138000"), QStringLiteral("张三"), QString(),
                                QStringLiteral("2024-03-05"), QStringLiteral("2024-03-06"),
                                QStringLiteral("2024-03-05 12:00:00"), QStringLiteral("-3.5")}));
    QCOMPARE(t.cell(2, 1), QStringLiteral("A&B <公司>"));
    QCOMPARE(t.cell(2, 2), QStringLiteral("0.3"));
    QCOMPARE(t.cell(2, 3), QStringLiteral("1.5E-07"));
}

// The sheet active when the workbook was saved is the one read; truth values, error values and
// formula results show as a spreadsheet shows them; 1904 dates count from 1904.
void TestOffice::readsActiveSheetOnlyAndBooleansErrorsFormulas() {
    const QString file = path(QStringLiteral("active.xlsx"));
    const QByteArray sheetHead =
        R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
    writeZip(file, {
        {QStringLiteral("xl/workbook.xml"),
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr date1904="1"/><bookViews><workbookView activeTab="1"/></bookViews><sheets><sheet name="一" sheetId="1" r:id="rA"/><sheet name="二" sheetId="2" r:id="rB"/></sheets></workbook>)"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rA" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/a.xml"/><Relationship Id="rB" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/b.xml"/><Relationship Id="rS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)"},
        {QStringLiteral("xl/styles.xml"),
         R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><cellXfs><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)"},
        {QStringLiteral("xl/worksheets/a.xml"), sheetHead + R"(<row r="1"><c r="A1" t="inlineStr"><is><t>wrong sheet</t></is></c></row></sheetData></worksheet>)"},
        {QStringLiteral("xl/worksheets/b.xml"),
         sheetHead + R"(<row r="1"><c r="A1" t="b"><v>1</v></c><c r="B1" t="b"><v>0</v></c><c r="C1" t="e"><v>#N/A</v></c><c r="D1" t="str"><f>A1&amp;"x"</f><v>TRUEx</v></c><c r="E1"><f>1+1</f><v>2</v></c><c r="F1" s="1"><v>0</v></c></row></sheetData></worksheet>)"},
    });
    const SheetTable t = readSheet(file);
    QCOMPARE(t.rows, (QList<QStringList>{{QStringLiteral("TRUE"), QStringLiteral("FALSE"), QStringLiteral("#N/A"),
                                           QStringLiteral("TRUEx"), QStringLiteral("2"), QStringLiteral("1904-01-01")}}));
}

void TestOffice::csv_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QStringList>>("rows");
    const QString name = QStringLiteral("客户名称"), company = QStringLiteral("北京华远贸易有限公司");
    QStringEncoder gb("GB18030");
    const QByteArray gbContent = QByteArray(gb(name + QStringLiteral(",手机\r\n") + company + QStringLiteral(",13800138000\r\n")));
    const QList<QStringList> basic = {{name, QStringLiteral("手机")}, {company, QStringLiteral("13800138000")}};
    QTest::newRow("utf-8 with byte order mark") << ("\xEF\xBB\xBF" + (name + QStringLiteral(",手机\n") + company + QStringLiteral(",13800138000\n")).toUtf8()) << basic;
    QTest::newRow("utf-8 without byte order mark") << (name + QStringLiteral(",手机\r\n") + company + QStringLiteral(",13800138000")).toUtf8() << basic;
    QTest::newRow("gb18030") << gbContent << basic;
    QVERIFY(QString::fromUtf8(gbContent) != name + QStringLiteral(",手机\r\n") + company + QStringLiteral(",13800138000\r\n"));
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("utf-16 with byte order mark") << QByteArray(utf16(name + QStringLiteral(",手机\r\n") + company + QStringLiteral(",13800138000"))) << basic;
    QTest::newRow("quotes, commas and line breaks in quotes")
        << QByteArray("a,\"b,c\",\"say \"\"hi\"\"\"\n\"line1\nline2\",\"\",x\r\n")
        << QList<QStringList>{{"a", "b,c", "say \"hi\""}, {"line1\nline2", "", "x"}};
    QTest::newRow("ragged rows padded, blank lines kept inside, trailing ones dropped")
        << QByteArray("\n\n,h1,h2\n,1\n\n,2,3,4\n\n\n")
        << QList<QStringList>{{"h1", "h2", ""}, {"1", "", ""}, {"", "", ""}, {"2", "3", "4"}};
    QTest::newRow("empty file") << QByteArray() << QList<QStringList>{};
    QTest::newRow("quote inside an unquoted field is text") << QByteArray("5\" disk,x") << QList<QStringList>{{"5\" disk", "x"}};
}

void TestOffice::csv() {
    QFETCH(QByteArray, content);
    QFETCH(QList<QStringList>, rows);
    const QString file = path(QStringLiteral("data.csv"));
    writeFile(file, content);
    const SheetTable t = readSheet(file);
    QCOMPARE(t.rows, rows);
    QCOMPARE(t.columnCount, rows.isEmpty() ? 0 : int(rows.first().size()));
}

void TestOffice::refusesNonWorkbooks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("kind");
    const int notWorkbook = int(OfficeError::Kind::NotAWorkbook);
    QTest::newRow("missing") << QStringLiteral("missing.xls") << QByteArray() << int(OfficeError::Kind::FileNotFound);
    QTest::newRow("text named .xls") << QStringLiteral("text.xls") << QByteArray("a,b\n1,2\n") << notWorkbook;
    QTest::newRow("html named .xls") << QStringLiteral("page.xls") << QByteArray("<html><table><tr><td>1</td></tr></table></html>") << notWorkbook;
    QTest::newRow("binary named .csv") << QStringLiteral("image.csv") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << notWorkbook;
    QTest::newRow("zip without workbook") << QStringLiteral("archive.xlsx") << QByteArray() << notWorkbook;
    QTest::newRow("truncated .xls") << QStringLiteral("truncated.xls") << QByteArray() << notWorkbook;
    QTest::newRow("password-protected .xlsx") << QStringLiteral("protected.xlsx") << QByteArray() << int(OfficeError::Kind::Encrypted);
    QTest::newRow("password-protected .xls") << QStringLiteral("protected.xls") << QByteArray() << int(OfficeError::Kind::Encrypted);
    QTest::newRow("folder") << QStringLiteral("folder.xls") << QByteArray() << int(OfficeError::Kind::CannotRead);
}

void TestOffice::refusesNonWorkbooks() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, kind);
    const QString file = path(name);
    if (!content.isEmpty()) writeFile(file, content);
    if (name == u"archive.xlsx") writeZip(file, {{QStringLiteral("readme.txt"), "not a workbook"}});
    if (name == u"folder.xls") QVERIFY(QDir(dir_.path()).mkpath(name));
    if (name == u"truncated.xls") {
        const QString whole = path(QStringLiteral("whole.xls"));
        QList<QVariantList> rows;
        for (int i = 0; i < 2000; ++i) rows.append({i, chineseText(i)});
        SheetWriter::writeSheet(whole, QStringLiteral("s"), {{QStringLiteral("A"), {}, 0}, {QStringLiteral("B"), {}, 0}}, rows);
        QFile f(whole);
        QVERIFY(f.open(QIODevice::ReadOnly));
        writeFile(file, f.read(f.size() / 2));
    }
    // An encrypted .xlsx is a compound file holding the encrypted package instead of a zip archive.
    if (name == u"protected.xlsx") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(CompoundFileWriter::write(f, QStringLiteral("EncryptedPackage"), 5000,
                                          [](QIODevice& d) { return d.write(QByteArray(5000, '\x5A')) == 5000; }));
    }
    // An encrypted .xls announces its protection right after the workbook's first record.
    if (name == u"protected.xls") {
        QByteArray stream;
        auto record = [&](quint16 type, const QByteArray& body) {
            char h[4];
            qToLittleEndian(type, h);
            qToLittleEndian(quint16(body.size()), h + 2);
            stream.append(h, 4).append(body);
        };
        record(0x0809, QByteArray::fromHex("0006050000000000" "0000000006000000"));
        record(0x002F, QByteArray::fromHex("0100" "0100" "0100") + QByteArray(48, '\x11'));  // FILEPASS, RC4
        record(0x000A, {});
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(CompoundFileWriter::write(f, QStringLiteral("Workbook"), stream.size(),
                                          [&](QIODevice& d) { return d.write(stream) == stream.size(); }));
    }

    try {
        readSheet(file);
        QFAIL("read without complaint");
    } catch (const OfficeError& e) {
        QCOMPARE(int(e.kind()), kind);
        QVERIFY(e.text().contains(QDir::toNativeSeparators(file)));
    }
}

// Numbers and dates as the import shows them.
void TestOffice::cellTexts_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const int none = int(cellvalue::DateKind::None), date = int(cellvalue::DateKind::Date),
              time = int(cellvalue::DateKind::Time), both = int(cellvalue::DateKind::DateTime);
    QTest::newRow("phone number") << 13800138000.0 << none << QStringLiteral("13800138000");
    QTest::newRow("15 digits") << 999999999999999.0 << none << QStringLiteral("999999999999999");
    QTest::newRow("16 digits") << 1234567890123456.0 << none << QStringLiteral("1.23456789012346E+15");
    QTest::newRow("negative zero") << -0.0 << none << QStringLiteral("0");
    QTest::newRow("binary fraction noise") << 0.1 + 0.2 << none << QStringLiteral("0.3");
    QTest::newRow("small") << 0.000012 << none << QStringLiteral("1.2E-05");
    QTest::newRow("day 1") << 1.0 << date << QStringLiteral("1900-01-01");
    QTest::newRow("day 59") << 59.0 << date << QStringLiteral("1900-02-28");
    QTest::newRow("the phantom day 60") << 60.0 << date << QStringLiteral("1900-02-29");
    QTest::newRow("day 61") << 61.0 << date << QStringLiteral("1900-03-01");
    QTest::newRow("date and time") << 45356.75 << both << QStringLiteral("2024-03-05 18:00:00");
    QTest::newRow("rounds into the next day") << 45356.9999999999 << both << QStringLiteral("2024-03-06 00:00:00");
    QTest::newRow("time only") << 0.5 + 1.0 / 86400 << time << QStringLiteral("12:00:01");
}

void TestOffice::cellTexts() {
    QFETCH(double, value);
    QFETCH(int, kind);
    QFETCH(QString, text);
    const auto k = cellvalue::DateKind(kind);
    QCOMPARE(k == cellvalue::DateKind::None ? cellvalue::numberText(value) : cellvalue::dateText(value, k), text);
    // Writing the date and reading its serial back is the same day.
    if (k == cellvalue::DateKind::Date && value != 60.0)
        QCOMPARE(cellvalue::serialFromDate(QDate::fromString(text, Qt::ISODate)), std::optional<double>(value));
}

QTEST_GUILESS_MAIN(TestOffice)
#include "tst_office.moc"
