// The fortnight vocabulary: names by code (letter case tells March from May),
// dates, and the perennials.
#include "core/modBasico.h"

#include <QTest>

using namespace modBasico;
using namespace Qt::StringLiterals;

class TestVocabulario : public QObject
{
    Q_OBJECT

private slots:
    void quincenas()
    {
        const QStringList c = ColeccionQuincenas();
        QCOMPARE(c.size(), 48);
        QCOMPARE(c.mid(24), c.mid(0, 24)); // the following year repeats the codes
        QCOMPARE(QStringList({NombreQuincena(u"M"_s), NombreQuincena(u"m"_s), NombreQuincena(u"J½"_s),
                              NombreQuincena(u"E"_s), NombreQuincena(u"e ½"_s), NombreQuincena(QString())}),
                 QStringList({u"1ªQ Mayo"_s, u"1ªQ Marzo"_s, u"2ªQ Julio"_s, {}, {}, {}}));
        for (int q = 1; q <= 24; ++q)
            QVERIFY(NombreQuincena(c.at(q - 1)).endsWith(FechaQuincena(q).section(u'/', 1).trimmed(),
                                                         Qt::CaseInsensitive));
        QCOMPARE(QStringList({FechaQuincena(6), FechaQuincena(13), FechaQuincena(0), FechaQuincena(25)}),
                 QStringList({u"15/ Marzo"_s, u"1 /Julio"_s, {}, {}}));
        QCOMPARE(QStringList({NombreLargoQuincena(2), NombreLargoQuincena(19), NombreLargoQuincena(25)}),
                 QStringList({u"enero ½"_s, u"octubre"_s, {}}));
    }

    void plurianuales()
    {
        QVERIFY(EsPlurianual(u"Espárragos"_s));
        QVERIFY(!EsPlurianual(u"espárragos"_s));
        QVERIFY(!EsPlurianual(u"Esparragos"_s));
    }
};

QTEST_APPLESS_MAIN(TestVocabulario)
#include "test_vocabulario.moc"
