// Writes the data sets that bench_cli.sh times zkhelp_cli on. A fixed seed
// makes every run measure the same bytes, so figures of two runs compare.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

// One word pool per script family; blank-separated UTF-8.
struct Pool
{
    const char *words;
    bool blanks; // false for scripts that write no blank between words
};

const Pool pools[] = {
    {"die der das und ist für über Datei Hilfe öffnen schließen Fenster Größe Änderung "
     "Schlüssel wählen können müssen Ordner Menü Übersicht Einstellungen Ausgabe Schaltfläche "
     "Verknüpfung Straße grün natürlich während Benutzer Eintrag Sprache Abschnitt speichern "
     "löschen zurück weiter Oberfläche Zeichensatz",
     true},
    {"the of and to is for file help open close window size change key select can must folder "
     "menu overview settings output button link user entry language section save delete back "
     "next page text export search",
     true},
    {"le la les et est pour fichier aide ouvrir fermer fenêtre taille modification clé "
     "sélectionner être dossier menu aperçu paramètres sortie bouton lien utilisateur entrée "
     "langue élément créer où à déjà très",
     true},
    {"el la los y es para archivo ayuda abrir cerrar ventana tamaño cambio clave seleccionar "
     "carpeta menú resumen configuración salida botón enlace usuario entrada idioma sección "
     "guardar también información página",
     true},
    {"och är för fil hjälp öppna stänga fönster storlek ändring nyckel välja mapp meny översikt "
     "inställningar utdata knapp länk användare språk avsnitt spara på så också",
     true},
    {"i jest dla plik pomoc otworzyć zamknąć okno rozmiar zmiana klucz wybrać folder menu "
     "przegląd ustawienia wyjście przycisk łącze użytkownik język sekcja zapisać usunąć źródło "
     "żółty",
     true},
    {"a je pro soubor nápověda otevřít zavřít okno velikost změna klíč vybrat složka nabídka "
     "přehled nastavení výstup tlačítko odkaz uživatel jazyk oddíl uložit smazat řádek šířka",
     true},
    {"και είναι για αρχείο βοήθεια άνοιγμα κλείσιμο παράθυρο μέγεθος αλλαγή κλειδί επιλογή "
     "φάκελος μενού επισκόπηση ρυθμίσεις έξοδος κουμπί σύνδεσμος χρήστης γλώσσα ενότητα "
     "αποθήκευση",
     true},
    {"и это для файл справка открыть закрыть окно размер изменение ключ выбрать папка меню "
     "обзор настройки вывод кнопка ссылка пользователь язык раздел сохранить удалить ещё",
     true},
    {"ファイル ヘルプ 開く 閉じる ウィンドウ サイズ 変更 キー 選択 フォルダー メニュー 概要 設定 "
     "出力 ボタン リンク ユーザー 言語 セクション 保存 削除 を は の に で します",
     false},
    {"文件 帮助 打开 关闭 窗口 大小 更改 键 选择 文件夹 菜单 概述 设置 输出 按钮 链接 用户 语言 "
     "章节 保存 删除 的 是 在 和",
     false},
    {"ve için dosya yardım açmak kapatmak pencere boyut değişiklik anahtar seçmek klasör menü "
     "genel bakış ayarlar çıktı düğme bağlantı kullanıcı dil bölüm kaydetmek şimdi ığdır",
     true},
};

enum PoolIndex { De, En, Fr, Es, Sv, Pl, Cs, El, Ru, Ja, Zh, Tr };

// Language keys as help sets carry them, regional variants included; each
// borrows the pool of its script family.
const struct
{
    const char *key;
    PoolIndex pool;
} languages[] = {
    {"bg", Ru},    {"ca", Es}, {"cs", Cs}, {"da", Sv},    {"de", De},    {"de-AT", De},
    {"de-CH", De}, {"el", El}, {"en", En}, {"en-GB", En}, {"en-US", En}, {"es", Es},
    {"es-MX", Es}, {"fi", Sv}, {"fr", Fr}, {"fr-BE", Fr}, {"fr-CA", Fr}, {"it", Es},
    {"ja", Ja},    {"nb", Sv}, {"nl", De}, {"pl", Pl},    {"pt", Es},    {"pt-BR", Es},
    {"ru", Ru},    {"sk", Cs}, {"sv", Sv}, {"tr", Tr},    {"uk", Ru},    {"zh", Zh},
};
const int languageCount = int(sizeof(languages) / sizeof(languages[0]));

class TextMaker
{
public:
    explicit TextMaker(quint32 seed)
        : rng(seed)
    {
        for (const Pool &pool : pools)
            words.append(QString::fromUtf8(pool.words).split(u' ', Qt::SkipEmptyParts));
    }

    int below(int n) { return int(rng.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }

    QString word(int pool) { return words[pool].at(below(int(words[pool].size()))); }

    QString sentence(int pool)
    {
        const bool blanks = pools[pool].blanks;
        QString s;
        const int count = 5 + below(10);
        for (int i = 0; i < count; ++i) {
            if (blanks && i > 0)
                s += u' ';
            s += word(pool);
        }
        if (blanks)
            s[0] = s[0].toUpper();
        s += blanks ? u'.' : u'。';
        return s;
    }

    // Lines are wrapped the way authors type them, so section texts carry
    // inner line breaks that the reader has to keep.
    QString paragraph(int pool)
    {
        const bool blanks = pools[pool].blanks;
        const int wrapAt = blanks ? 76 : 38;
        QString text;
        qsizetype lineStart = 0;
        const int count = 2 + below(5);
        for (int i = 0; i < count; ++i) {
            const QString s = sentence(pool);
            if (text.size() - lineStart + s.size() > wrapAt && text.size() > lineStart) {
                text += u'\n';
                lineStart = text.size();
            } else if (blanks && text.size() > lineStart) {
                text += u' ';
            }
            text += s;
        }
        return text;
    }

    QString title(int pool)
    {
        const bool blanks = pools[pool].blanks;
        QString t;
        const int count = 1 + below(3);
        for (int i = 0; i < count; ++i) {
            if (blanks && i > 0)
                t += u' ';
            t += word(pool);
        }
        if (blanks)
            t[0] = t[0].toUpper();
        return t;
    }

    QRandomGenerator rng;

private:
    QList<QStringList> words;
};

// Section texts mix plain text with everything the reader must resolve:
// escaped markup, character references, CDATA and comments.
void writeSection(QXmlStreamWriter &xml, TextMaker &text, int pool, int paragraphs)
{
    xml.writeStartElement(QStringLiteral("section"));
    xml.writeAttribute(QStringLiteral("name"), text.title(pool));
    for (int p = 0; p < paragraphs; ++p) {
        if (p > 0)
            xml.writeCharacters(QStringLiteral("\n\n"));
        xml.writeCharacters(text.paragraph(pool));
        if (text.chance(15))
            xml.writeCharacters(QStringLiteral(" Beispiel: a < b && c > d, \"zitiert\" und 'so'."));
        if (text.chance(10)) {
            xml.writeCharacters(QStringLiteral(" Preis: 12 "));
            xml.writeEntityReference(QStringLiteral("#x20AC"));
            xml.writeCharacters(QStringLiteral(", M"));
            xml.writeEntityReference(QStringLiteral("#228"));
            xml.writeCharacters(QStringLiteral("rz "));
            xml.writeEntityReference(QStringLiteral("amp"));
            xml.writeCharacters(QStringLiteral(" April."));
        }
        if (text.chance(5))
            xml.writeCDATA(QStringLiteral("\n<b>fett</b> & <i>kursiv</i> <br/>\n"));
        if (text.chance(3))
            xml.writeComment(QStringLiteral(" Entwurf, noch pruefen "));
    }
    xml.writeEndElement();
}

struct Document
{
    QList<int> languageIndexes;
    QStringList links;
};

bool openWriter(QFile &file, QXmlStreamWriter &xml)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    xml.setDevice(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("zkhelp"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("3.1"));
    xml.writeAttribute(QStringLiteral("author"), QStringLiteral("Jürgen Müller & Team"));
    return true;
}

void closeWriter(QXmlStreamWriter &xml, const QStringList &links)
{
    for (const QString &link : links) {
        xml.writeEmptyElement(QStringLiteral("link"));
        xml.writeAttribute(QStringLiteral("page"), link);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
}

void startLanguage(QXmlStreamWriter &xml, TextMaker &text, int language)
{
    const int pool = languages[language].pool;
    xml.writeStartElement(QStringLiteral("lang"));
    xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(languages[language].key));
    xml.writeTextElement(QStringLiteral("description"), text.sentence(pool));
}

bool writeSmallFile(const QString &path, TextMaker &text, const Document &doc, int maxSections)
{
    QFile file(path);
    QXmlStreamWriter xml;
    if (!openWriter(file, xml))
        return false;
    for (int language : doc.languageIndexes) {
        startLanguage(xml, text, language);
        const int sections = 1 + text.below(maxSections);
        for (int s = 0; s < sections; ++s)
            writeSection(xml, text, languages[language].pool, 1 + text.below(2));
        xml.writeEndElement();
    }
    closeWriter(xml, doc.links);
    return !xml.hasError();
}

int languageIndex(const char *key)
{
    for (int i = 0; i < languageCount; ++i) {
        if (qstrcmp(languages[i].key, key) == 0)
            return i;
    }
    return 0;
}

// One large file: every language gets an equal share of the target size.
int generateBig(const QString &path, qint64 targetBytes)
{
    TextMaker text(20240601);
    QFile file(path);
    QXmlStreamWriter xml;
    if (!openWriter(file, xml))
        return 1;
    qint64 sections = 0;
    for (int language = 0; language < languageCount; ++language) {
        startLanguage(xml, text, language);
        const qint64 end = targetBytes * (language + 1) / languageCount;
        while (file.pos() < end) {
            writeSection(xml, text, languages[language].pool, 1 + text.below(4));
            ++sections;
        }
        xml.writeEndElement();
    }
    QStringList links;
    for (int i = 0; i < 20; ++i)
        links.append(QStringLiteral("thema_%1").arg(i, 4, 10, QLatin1Char('0')));
    closeWriter(xml, links);
    file.close();
    std::printf("%s: %lld bytes, %d languages, %lld sections\n", qPrintable(path),
                static_cast<long long>(file.size()), languageCount,
                static_cast<long long>(sections));
    return xml.hasError() ? 1 : 0;
}

// Many small files in one folder, named the way a help set names its topics;
// a minority of the names contains an x. A few files that are not help files
// and a subfolder sit next to them, as in a real help folder.
int generateFlat(const QString &dirPath, int count)
{
    const QStringList plain =
        QStringLiteral("einleitung installation bedienung anmeldung drucken speichern "
                       "suche hilfe menue fenster ordner datei optionen sprache "
                       "abschnitt verweise benutzer konto netzwerk server client "
                       "sicherung update lizenz tastatur maus bildschirm farben schrift "
                       "tabelle grafik vorlage projekt editor viewer konverter pfad "
                       "start ende fehler meldung protokoll ansicht werkzeuge format "
                       "kodierung zeichen umlaute seite kapitel anhang glossar "
                       "übersicht größen")
            .split(u' ');
    const QStringList withX =
        QStringLiteral("export index syntax box extras lexikon textfeld maximum XML Xref")
            .split(u' ');
    TextMaker text(4711);
    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral("unterordner")))
        return 1;
    const int de = languageIndex("de");
    const int en = languageIndex("en");
    auto pick = [&]() {
        return text.chance(6) ? withX.at(text.below(int(withX.size())))
                              : plain.at(text.below(int(plain.size())));
    };
    int matches = 0;
    for (int i = 0; i < count; ++i) {
        const QString base = pick() + u'_' + pick() + u'_' + QString::number(i);
        QString name = base + QStringLiteral(".zkhelp");
        if (i % 250 == 0)
            name = base + QStringLiteral(".ZKHELP");
        else if (i % 97 == 0)
            name = base + QStringLiteral(".zkhelp.bak");
        else if (i % 89 == 0)
            name = base + QStringLiteral(".txt");
        const bool isHelp = name.endsWith(QStringLiteral(".zkhelp"), Qt::CaseInsensitive);
        if (isHelp && base.contains(u'x', Qt::CaseInsensitive))
            ++matches;
        Document doc;
        doc.languageIndexes = {de};
        if (text.chance(70))
            doc.languageIndexes.append(en);
        if (text.chance(30))
            doc.links.append(QStringLiteral("hilfe_index"));
        if (!writeSmallFile(dir.filePath(name), text, doc, 3))
            return 1;
    }
    for (int i = 0; i < 50; ++i) {
        Document doc;
        doc.languageIndexes = {de};
        if (!writeSmallFile(dir.filePath(QStringLiteral("unterordner/export_%1.zkhelp").arg(i)),
                            text, doc, 2))
            return 1;
    }
    std::printf("%s: %d files, %d match x\n", qPrintable(dirPath), count, matches);
    return 0;
}

QString topicName(int i)
{
    return QStringLiteral("thema_%1").arg(i, 4, 10, QLatin1Char('0'));
}

// A web of topics reachable from thema_0000: a tree of children keeps every
// file reachable, while links back to the parent, to itself, to random
// topics and repeated links make cycles and duplicates. With spoken, every
// topic is written in that many languages, as a large translated set is;
// with twoLanguages in German and English; otherwise in two to four.
int generateLinked(const QString &dirPath, int count, int spoken = 0, bool twoLanguages = false)
{
    TextMaker text(1234);
    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    const int common[] = {languageIndex("de"), languageIndex("en"), languageIndex("fr"),
                          languageIndex("es")};
    qint64 links = 0;
    for (int i = 0; i < count; ++i) {
        Document doc;
        doc.languageIndexes = {common[0], common[1]};
        if (!twoLanguages && text.chance(50))
            doc.languageIndexes.append(common[2]);
        if (!twoLanguages && text.chance(25))
            doc.languageIndexes.append(common[3]);
        if (spoken > 0) {
            doc.languageIndexes.clear();
            for (int language = 0; language < spoken; ++language)
                doc.languageIndexes.append(language);
        }
        for (int child : {2 * i + 1, 2 * i + 2}) {
            if (child < count)
                doc.links.append(topicName(child));
        }
        if (i > 0)
            doc.links.append(topicName((i - 1) / 2));
        const int extra = 1 + text.below(3);
        for (int e = 0; e < extra; ++e)
            doc.links.append(topicName(text.below(count)));
        if (text.chance(5))
            doc.links.append(topicName(i));
        if (text.chance(40))
            doc.links.append(doc.links.at(text.below(int(doc.links.size()))));
        links += doc.links.size();
        if (!writeSmallFile(dir.filePath(topicName(i) + QStringLiteral(".zkhelp")), text, doc,
                            spoken > 0 ? 1 : 6))
            return 1;
    }
    std::printf("%s: %d files, %lld links, start %s\n", qPrintable(dirPath), count,
                static_cast<long long>(links), qPrintable(topicName(0)));
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: zkhelp_bench_gen big FILE [MiB]\n"
                         "       zkhelp_bench_gen flat DIR [COUNT]\n"
                         "       zkhelp_bench_gen linked DIR [COUNT]\n"
                         "       zkhelp_bench_gen linked2 DIR [COUNT]  (German and English only)\n"
                         "       zkhelp_bench_gen linked30 DIR [COUNT]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3 || args.size() > 4)
        return usage();
    const QString mode = args.at(1);
    bool ok = true;
    const int amount = args.size() == 4 ? args.at(3).toInt(&ok) : 0;
    if (!ok || amount < 0)
        return usage();
    if (mode == u"big")
        return generateBig(args.at(2), qint64(amount ? amount : 20) * 1024 * 1024);
    if (mode == u"flat")
        return generateFlat(args.at(2), amount ? amount : 20000);
    if (mode == u"linked")
        return generateLinked(args.at(2), amount ? amount : 2000);
    if (mode == u"linked2")
        return generateLinked(args.at(2), amount ? amount : 2000, 0, true);
    // The languages of a large translated help set.
    if (mode == u"linked30")
        return generateLinked(args.at(2), amount ? amount : 2000, 30);
    return usage();
}
