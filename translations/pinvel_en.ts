<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>AppMessageBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>PinvelAvrsim</name>
    <message>
        <source>Использование: pinvel-avrsim [--harness FILE] [--fast] [--cycles] FIRMWARE.elf
</source>
        <translation>Usage: pinvel-avrsim [--harness FILE] [--fast] [--cycles] FIRMWARE.elf
</translation>
    </message>
    <message>
        <source>Плата открытого блока диагностики, смоделированная вокруг его прошивки.
  --harness FILE  описание жгута в JSON (как у pinvel-unit)
  --fast          не согласовывать время модели с часами
  --cycles        при выходе напечатать такты от запроса до ответа
UART0 выводится на псевдотерминал; его путь печатается первой строкой:
  pinvel-avrsim: unit on /dev/pts/N
</source>
        <translation>The open unit&apos;s board, simulated around its firmware.
  --harness FILE  the harness description in JSON (as pinvel-unit takes it)
  --fast          do not hold the model&apos;s time to the clock
  --cycles        print the cycles from request to reply on exit
UART0 goes to a pseudo-terminal; its path is printed as the first line:
  pinvel-avrsim: unit on /dev/pts/N
</translation>
    </message>
    <message>
        <source>неверный аргумент: %1</source>
        <translation>bad argument: %1</translation>
    </message>
    <message>
        <source>не указан файл прошивки (ELF)</source>
        <translation>no firmware file (ELF) given</translation>
    </message>
    <message>
        <source>%1: плата открытого блока имеет тип %2, а не %3</source>
        <translation>%1: the open unit&apos;s board is of type %2, not %3</translation>
    </message>
    <message>
        <source>файл прошивки %1 не найден</source>
        <translation>the firmware file %1 is not there</translation>
    </message>
    <message>
        <source>%1 не является прошивкой ELF для AVR</source>
        <translation>%1 is no ELF firmware for the AVR</translation>
    </message>
    <message>
        <source>не удалось создать модель ATmega2560</source>
        <translation>could not make the ATmega2560 model</translation>
    </message>
    <message>
        <source>прошивка остановилась (сбой)</source>
        <translation>the firmware stopped (crashed)</translation>
    </message>
    <message>
        <source>прошивка остановилась (завершение)</source>
        <translation>the firmware stopped (ended)</translation>
    </message>
</context>
<context>
    <name>PinvelCheck</name>
    <message>
        <source>%1 ожидает дату в виде ГГГГ-ММ-ДД.</source>
        <translation>%1 expects a date as YYYY-MM-DD.</translation>
    </message>
    <message>
        <source>Неизвестная команда «%1».</source>
        <translation>Unknown command &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>После %1 ожидается значение.</source>
        <translation>A value is expected after %1.</translation>
    </message>
    <message>
        <source>--verdict ожидает ГОДЕН или БРАК.</source>
        <translation>--verdict expects GOOD or FAULTY.</translation>
    </message>
    <message>
        <source>--seconds ожидает целое число секунд больше нуля.</source>
        <translation>--seconds expects a whole number of seconds above zero.</translation>
    </message>
    <message>
        <source>Непонятный параметр «%1».</source>
        <translation>Unknown option &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Укажите одно из двух: --csv ФАЙЛ или --pdf ФАЙЛ.</source>
        <translation>Give one of the two: --csv FILE or --pdf FILE.</translation>
    </message>
    <message>
        <source>--record печатает одну запись в PDF: укажите --pdf ФАЙЛ.</source>
        <translation>--record prints one record as PDF: give --pdf FILE.</translation>
    </message>
    <message>
        <source>Не указан файл проекта.</source>
        <translation>No project file given.</translation>
    </message>
    <message>
        <source>В проекте «%1» нет контактов, привязанных к выводам блока: проверять нечего.</source>
        <translation>The project &quot;%1&quot; has no contacts tied to the unit&apos;s pins: there is nothing to check.</translation>
    </message>
    <message>
        <source>Нет файла настроек «%1».</source>
        <translation>There is no settings file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл настроек «%1».</source>
        <translation>Could not read the settings file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Общая база записей %1 недоступна (%2); запись сохранена на этой станции и будет отправлена позже. Записей ждут отправки: %3.</source>
        <translation>The shared records database %1 cannot be reached (%2); the record is kept on this station and will be sent later. Records waiting to be sent: %3.</translation>
    </message>
    <message>
        <source>Запись проверки не сохранена: %1</source>
        <translation>The check&apos;s record was not kept: %1</translation>
    </message>
    <message>
        <source>Не удалось подключиться к блоку диагностики (%1)%2</source>
        <translation>Could not connect to the diagnostic unit (%1)%2</translation>
    </message>
    <message>
        <source>Эталон не записан: на жгуте посторонний потенциал, его соединения не измерить.</source>
        <translation>The reference was not written: the harness carries a foreign potential, so its connections cannot be measured.</translation>
    </message>
    <message>
        <source>Эталон записан: %1 (цепей %2, проводов %3, обменов с блоком %4)
</source>
        <translation>Reference written: %1 (%2 nets, %3 wires, %4 round trips with the unit)
</translation>
    </message>
    <message>
        <source>Непрерывная проверка: %1 цепей; остановка — Ctrl+C
</source>
        <translation>Continuous verify: %1 nets; Ctrl+C stops it
</translation>
    </message>
    <message>
        <source>Проверок: %1, без отклонений: %2. %3
</source>
        <translation>Checks: %1, without deviation: %2. %3
</translation>
    </message>
    <message>
        <source>%1 — замечено %2 раз, впервые %3, последний раз %4
</source>
        <translation>%1 — seen %2 times, first at %3, last at %4
</translation>
    </message>
    <message>
        <source>Записи этой станции: pinvel-check report --local.</source>
        <translation>This station&apos;s records: pinvel-check report --local.</translation>
    </message>
    <message>
        <source>В базе «%1» нет записи %2.</source>
        <translation>The database &quot;%1&quot; has no record %2.</translation>
    </message>
    <message>
        <source>Записей: %1 → %2
</source>
        <translation>Records: %1 → %2
</translation>
    </message>
    <message>
        <source>  pinvel-check fixture ПРОЕКТ.pvl
      проверить адаптер без жгута: каждый вывод должен быть сам по себе;
      код 0 — исправен, 1 — неисправность адаптера
</source>
        <translation>  pinvel-check fixture PROJECT.pvl
      check the test fixture without a harness: every pin must stand alone;
      code 0 good, 1 a fault of the fixture
</translation>
    </message>
    <message>
        <source>Адаптер исправен: выводов %1, обменов с блоком %2
</source>
        <translation>The fixture is good: %1 pins, %2 round trips with the unit
</translation>
    </message>
    <message>
        <source>Неисправность адаптера:
</source>
        <translation>Fault of the fixture:
</translation>
    </message>
    <message>
        <source>  pinvel-check probe ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--seconds N]
      найти зондом: каждое изменение того, чего касается зонд, — строкой
      (цепь эталона, без эталона — контакт; до Ctrl+C или N секунд)
</source>
        <translation>  pinvel-check probe PROJECT.pvl [--wires WIRES.csv] [--seconds N]
      find with the probe: each change of what the probe touches, a line each
      (a net of the reference, without one a contact; until Ctrl+C or N seconds)
</translation>
    </message>
    <message>
        <source>Использование:
  pinvel-check stats [--by day|week|project|operator|station] [--json|--csv]
                     [--local] [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД]
                     [--serial НОМЕР[*]] [--project ИМЯ.pvl] [--operator ФИО]
                     [--station ИМЯ] [--verdict ГОДЕН|БРАК] [--settings ФАЙЛ]
      статистика записей журнала: проверки, жгуты, выход годных с первого
      предъявления и итоговый, разбивка по дням (неделям, проектам, операторам,
      станциям), неисправности по контактам и по видам, жгуты с браком
      два раза и более</source>
        <translation>Usage:
  pinvel-check stats [--by day|week|project|operator|station] [--json|--csv]
                     [--local] [--from YYYY-MM-DD] [--to YYYY-MM-DD]
                     [--serial NUMBER[*]] [--project NAME.pvl] [--operator NAME]
                     [--station NAME] [--verdict GOOD|FAULTY] [--settings FILE]
      statistics of the journal&apos;s records: checks, harnesses, first-pass and
      final yield, broken down by day (week, project, operator, station),
      faults by contact and by kind, harnesses found faulty two times
      or more</translation>
    </message>
    <message>
        <source>--by ожидает day, week, project, operator или station.</source>
        <translation>--by expects day, week, project, operator or station.</translation>
    </message>
    <message>
        <source>Укажите одно из двух: --json или --csv.</source>
        <translation>Give one of the two: --json or --csv.</translation>
    </message>
    <message>
        <source>Проверок: %1 (ГОДЕН %2, БРАК %3), без серийного номера: %4
</source>
        <translation>Checks: %1 (GOOD %2, FAULTY %3), without a serial number: %4
</translation>
    </message>
    <message>
        <source>Жгутов: %1; годны с первого предъявления: %2 (%3); годны в итоге: %4 (%5)
</source>
        <translation>Harnesses: %1; good at the first check: %2 (%3); good in the end: %4 (%5)
</translation>
    </message>
    <message>
        <source>%1: проверок, ГОДЕН, БРАК, жгутов, с первого предъявления, в итоге
</source>
        <translation>%1: checks, GOOD, FAULTY, harnesses, first-pass, final
</translation>
    </message>
    <message>
        <source>Контакты в неисправностях (бракованных проверок, доля, нарастающим итогом, из них непрерывных):
</source>
        <translation>Contacts in faults (faulty checks, share, cumulative share, of them continuous):
</translation>
    </message>
    <message>
        <source>Неисправности по видам (разовые проверки; непрерывные отдельно):
</source>
        <translation>Faults by kind (single checks; continuous apart):
</translation>
    </message>
    <message>
        <source>  %1: %2 в %3 проверках; непрерывные: %4 в %5
</source>
        <translation>  %1: %2 in %3 checks; continuous: %4 in %5
</translation>
    </message>
    <message>
        <source>Жгуты с браком два раза и более: %1
</source>
        <translation>Harnesses found faulty two times or more: %1
</translation>
    </message>
    <message>
        <source>  %1: БРАК %2 из %3 проверок
</source>
        <translation>  %1: FAULTY %2 of %3 checks
</translation>
    </message>
    <message>
        <source>Записи этой станции: pinvel-check stats --local.</source>
        <translation>This station&apos;s records: pinvel-check stats --local.</translation>
    </message>
    <message>
        <source>  pinvel-check audit [--station ИМЯ] [--local] [--settings ФАЙЛ]
      проверить цепочки записей станций: назвать каждую удаленную,
      измененную, вставленную или переставленную запись (код 0: цепочки
      целы, 1: есть нарушения)
</source>
        <translation>  pinvel-check audit [--station NAME] [--local] [--settings FILE]
      check the stations&apos; chains of records: name each record deleted,
      altered, inserted or reordered (code 0: the chains are whole,
      1: there are breaks)
</translation>
    </message>
    <message>
        <source>Записи этой станции: pinvel-check audit --local.</source>
        <translation>This station&apos;s records: pinvel-check audit --local.</translation>
    </message>
    <message>
        <source>  pinvel-check db init postgresql://АДМИНИСТРАТОР@СЕРВЕР/БАЗА --station-role ИМЯ
      создать таблицы записей (владелец — администратор) и роль станций,
      которой можно только добавлять и читать записи
</source>
        <translation>  pinvel-check db init postgresql://ADMIN@SERVER/DATABASE --station-role NAME
      make the records&apos; tables (owned by the administrator) and the stations&apos;
      role, which may only add records and read them
</translation>
    </message>
    <message>
        <source>Ожидается: pinvel-check db init ...</source>
        <translation>Expected: pinvel-check db init ...</translation>
    </message>
    <message>
        <source>Имя роли «%1» не подходит: латинские буквы, цифры и «_», первой — буква.</source>
        <translation>The role name &quot;%1&quot; will not do: Latin letters, digits and &quot;_&quot;, a letter first.</translation>
    </message>
    <message>
        <source>Адрес базы «%1»: %2.</source>
        <translation>Database address &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>Роль станций должна отличаться от администратора «%1».</source>
        <translation>The stations&apos; role must differ from the administrator &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Не удалось настроить роль «%1» в базе «%2»: %3</source>
        <translation>Could not set up the role &quot;%1&quot; in the database &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>Использование:
  pinvel-check learn ПРОЕКТ.pvl [-o ПРОВОДА.csv] [--replace] [--operator ФИО]
      обучиться на исправном жгуте и записать эталон (по умолчанию ПРОЕКТ.wires.csv);
      прежний эталон заменяется только с --replace, различия выводятся всегда
  pinvel-check verify ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--json]
                     [--serial НОМЕР] [--operator ФИО]
      проверить жгут по эталону: ГОДЕН (код 0) или БРАК (код 1) и неисправности;
      запись проверки — в журнал (раздел [Records] файла настроек)
  pinvel-check watch ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--seconds N]
                     [--serial НОМЕР] [--operator ФИО]
      проверять непрерывно (до Ctrl+C или N секунд) и сообщать каждое отклонение
  pinvel-check report --csv ФАЙЛ | --pdf ФАЙЛ [--record ИД] [--local]
                     [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД] [--serial НОМЕР[*]]
                     [--project ИМЯ.pvl] [--operator ФИО] [--verdict ГОДЕН|БРАК]
      записи журнала в CSV или отчет PDF (одна запись с --record или список)
Блок диагностики: раздел [Device] файла настроек pinvel.ini или
  --link sim|serial:УСТРОЙСТВО|tcp:АДРЕС:ПОРТ  связь с блоком
  --harness ФАЙЛ    описание жгута для встроенного имитатора (sim)
  --settings ФАЙЛ   другой файл настроек
Код выхода 2: проверить не удалось (нет блока, ошибка в файле); 3: жгут проверен,
но запись проверки не сохранить; причина — в потоке ошибок.</source>
        <translation>Usage:
  pinvel-check learn PROJECT.pvl [-o WIRES.csv] [--replace] [--operator NAME]
      learn a good harness and write its reference (by default PROJECT.wires.csv);
      an existing reference is replaced only with --replace, the differences are always printed
  pinvel-check verify PROJECT.pvl [--wires WIRES.csv] [--json]
                     [--serial NUMBER] [--operator NAME]
      verify a harness against its reference: GOOD (code 0) or FAULTY (code 1) and the faults;
      the check&apos;s record goes to the journal (section [Records] of the settings file)
  pinvel-check watch PROJECT.pvl [--wires WIRES.csv] [--seconds N]
                     [--serial NUMBER] [--operator NAME]
      verify continuously (until Ctrl+C or N seconds) and report every deviation
  pinvel-check report --csv FILE | --pdf FILE [--record ID] [--local]
                     [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--serial NUMBER[*]]
                     [--project NAME.pvl] [--operator NAME] [--verdict GOOD|FAULTY]
      the journal&apos;s records as CSV or a PDF report (one record with --record, or a list)
Diagnostic unit: section [Device] of the settings file pinvel.ini, or
  --link sim|serial:DEVICE|tcp:ADDRESS:PORT  the link to the unit
  --harness FILE    harness description for the built-in simulated unit (sim)
  --settings FILE   another settings file
Exit code 2: could not test (no unit, an error in a file); 3: the harness was checked,
but its record could not be kept; the reason is on standard error.</translation>
    </message>
    <message>
        <source>Прежний эталон не прочитать, сравнить не с чем.</source>
        <translation>The old reference cannot be read: there is nothing to compare with.</translation>
    </message>
    <message>
        <source>Эталон не записан: перечень проводов «%1» уже есть, и он остался как был. Чем новый эталон отличается от прежнего, сказано выше; заменить прежний эталон: повторите с --replace.</source>
        <translation>The reference was not written: the wire list &quot;%1&quot; is there already and is left as it was. How the new reference differs from the old one is said above; to replace the old reference, run again with --replace.</translation>
    </message>
    <message>
        <source>Эталон не сохранен в базе записей (%1); он будет сохранен с первой записью проверки по нему.</source>
        <translation>The reference was not kept in the records database (%1); it will be kept with the first record checked against it.</translation>
    </message>
    <message>
        <source>Общая база записей %1 недоступна (%2); эталон сохранен на этой станции и попадет в общую базу с первой записью проверки по нему.</source>
        <translation>The shared records database %1 cannot be reached (%2); the reference is kept on this station and goes to the shared database with the first record checked against it.</translation>
    </message>
    <message>
        <source>  pinvel-check report --reference SHA256 [-o ПРОВОДА.csv] [--local]
      эталон записи по его SHA-256: перечень проводов, как его записывает learn
</source>
        <translation>  pinvel-check report --reference SHA256 [-o WIRES.csv] [--local]
      a record&apos;s reference by its SHA-256: the wire list as learn writes it
</translation>
    </message>
    <message>
        <source>--reference ожидает SHA-256 эталона: 64 шестнадцатеричные цифры, как в журнале и в reference_sha256.</source>
        <translation>--reference expects the reference&apos;s SHA-256: 64 hexadecimal digits, as in the records and in reference_sha256.</translation>
    </message>
    <message>
        <source>Эталона с SHA-256 %1 нет в базе записей.</source>
        <translation>No reference with SHA-256 %1 in the test records.</translation>
    </message>
    <message>
        <source>Эталон %1: %2, %3, станция %4, %5</source>
        <translation>Reference %1: %2, %3, station %4, %5</translation>
    </message>
    <message>
        <source>  pinvel-check approve ПРОЕКТ.pvl --supervisor ИМЯ [--wires ПРОВОДА.csv]
      утвердить эталон проекта PIN-кодом мастера (код 0 — утвержден, 1 — отказано)
  pinvel-check supervisor add ИМЯ | remove ИМЯ | list
      мастера, утверждающие эталоны (в базе записей; PIN — с терминала без эха
      или строкой со стандартного ввода)
</source>
        <translation>  pinvel-check approve PROJECT.pvl --supervisor NAME [--wires WIRES.csv]
      approve the project&apos;s reference with a supervisor&apos;s PIN (code 0 approved, 1 refused)
  pinvel-check supervisor add NAME | remove NAME | list
      the supervisors who approve references (in the records&apos; database; the PIN from the
      terminal without echo or as a line of standard input)
</translation>
    </message>
    <message>
        <source>Укажите проект и --supervisor ИМЯ.</source>
        <translation>Name the project and --supervisor NAME.</translation>
    </message>
    <message>
        <source>Для проекта «%1» нет эталона (%2): утверждать нечего.</source>
        <translation>The project &quot;%1&quot; has no reference (%2): nothing to approve.</translation>
    </message>
    <message>
        <source>PIN мастера «%1»: </source>
        <translation>PIN of supervisor &quot;%1&quot;: </translation>
    </message>
    <message>
        <source>PIN не введен.</source>
        <translation>No PIN entered.</translation>
    </message>
    <message>
        <source>Эталон %1 %2 (SHA-256 %3)
</source>
        <translation>Reference of %1 %2 (SHA-256 %3)
</translation>
    </message>
    <message>
        <source>Повторите PIN: </source>
        <translation>Repeat the PIN: </translation>
    </message>
    <message>
        <source>PIN не совпал с повторением; мастер не добавлен.</source>
        <translation>The PINs did not match; the supervisor was not added.</translation>
    </message>
    <message>
        <source>заблокирован до %1</source>
        <translation>locked until %1</translation>
    </message>
    <message>
        <source>Мастер «%1» добавлен.
</source>
        <translation>Supervisor &quot;%1&quot; added.
</translation>
    </message>
    <message>
        <source>В базе записей нет мастера «%1».</source>
        <translation>The records&apos; database has no supervisor &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Мастер «%1» удален; его прежние утверждения остаются в силе.
</source>
        <translation>Supervisor &quot;%1&quot; removed; their earlier approvals stand.
</translation>
    </message>
    <message>
        <source>Таблицы записей в базе %1 (схема %2) принадлежат «%3».</source>
        <translation>The records&apos; tables in the database %1 (schema %2) belong to &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>Роль станций «%1» может добавлять и читать записи, но не изменять и не удалять их.</source>
        <translation>The stations&apos; role &quot;%1&quot; may add records and read them, but not change or delete them.</translation>
    </message>
    <message>
        <source>Задайте ей пароль (ALTER ROLE %1 PASSWORD &apos;...&apos;), запишите его в ~/.pgpass станций, а в pinvel.ini станций: [Records] Database=%2</source>
        <translation>Give it a password (ALTER ROLE %1 PASSWORD &apos;...&apos;), put it in the stations&apos; ~/.pgpass, and in the stations&apos; pinvel.ini: [Records] Database=%2</translation>
    </message>
</context>
<context>
    <name>PinvelFile</name>
    <message>
        <source>Не удалось открыть файл «%1»: %2</source>
        <translation>Could not open the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Использование:
  pinvel-file dump ФАЙЛ.pvl              проект в виде JSON
  pinvel-file build ФАЙЛ.json ВЫХОД.pvl  проект по описанию JSON
  pinvel-file check ФАЙЛ.pvl             читается ли файл
  pinvel-file wiring ФАЙЛ.pvl            список соединений в CSV</source>
        <translation>Usage:
  pinvel-file dump FILE.pvl              the project as JSON
  pinvel-file build FILE.json OUT.pvl    a project from its JSON description
  pinvel-file check FILE.pvl             whether the file reads
  pinvel-file wiring FILE.pvl            the list of connections as CSV</translation>
    </message>
    <message>
        <source>Файл «%1» не является описанием проекта в JSON: %2 (смещение %3).</source>
        <translation>The file &quot;%1&quot; is no JSON description of a project: %2 (offset %3).</translation>
    </message>
    <message>
        <source>Файл читается: разъемов %1, соответствий %2.
</source>
        <translation>The file reads: %1 connectors, %2 correspondences.
</translation>
    </message>
    <message>
        <source>Предупреждение: соответствие %1 (%2), связь %3: имя «%4», а контакт разъема «%5» в этой позиции (столбец %6, строка %7) называется «%8».</source>
        <translation>Warning: correspondence %1 (%2), link %3: the name is &quot;%4&quot;, but the contact of the connector &quot;%5&quot; at that position (column %6, row %7) is called &quot;%8&quot;.</translation>
    </message>
</context>
<context>
    <name>PinvelUnit</name>
    <message>
        <source>соединение закрыто на середине кадра</source>
        <translation>connection closed in the middle of a frame</translation>
    </message>
    <message>
        <source>соединение закрыто</source>
        <translation>connection closed</translation>
    </message>
    <message>
        <source>неверный кадр: %1; соединение закрыто</source>
        <translation>bad frame: %1; connection closed</translation>
    </message>
    <message>
        <source>без ответа</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>--listen ожидает HOST:PORT</source>
        <translation>--listen expects HOST:PORT</translation>
    </message>
    <message>
        <source>--drop-after ожидает число</source>
        <translation>--drop-after expects a number</translation>
    </message>
    <message>
        <source>--close-after ожидает число</source>
        <translation>--close-after expects a number</translation>
    </message>
    <message>
        <source>--reply-us ожидает число микросекунд от 0 до 1000000</source>
        <translation>--reply-us expects a number of microseconds from 0 to 1000000</translation>
    </message>
    <message>
        <source>непонятный параметр %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>не задан --listen</source>
        <translation>--listen is not given</translation>
    </message>
    <message>
        <source>адрес %1: %2</source>
        <translation>address %1: %2</translation>
    </message>
    <message>
        <source>не удалось слушать %1:%2: %3</source>
        <translation>could not listen on %1:%2: %3</translation>
    </message>
    <message>
        <source>новое соединение</source>
        <translation>new connection</translation>
    </message>
    <message>
        <source>Использование: pinvel-unit --listen HOST:PORT [--harness FILE] [--log] [--drop-after N] [--close-after N] [--reply-us N] [--compact] [--control HOST:PORT]
</source>
        <translation>Usage: pinvel-unit --listen HOST:PORT [--harness FILE] [--log] [--drop-after N] [--close-after N] [--reply-us N] [--compact] [--control HOST:PORT]
</translation>
    </message>
    <message>
        <source>Имитатор блока диагностики: принимает кадры связи по TCP и отвечает как блок.
  --listen HOST:PORT  адрес для подключения (порт 0: любой свободный)
  --harness FILE      описание жгута в JSON
  --log               печатать каждый принятый и отправленный кадр
  --compact           объявить в приветствии сжатую форму кадров
  --drop-after N      после N команд не отвечать
  --close-after N     закрыть соединение на команде N+1
  --reply-us N        отвечать через N микросекунд после команды (1000)
  --control HOST:PORT строки управления: probe ВЫВОД|none, connect А Б,
                      disconnect А Б, reset; ответ ok или ошибка
</source>
        <translation>The diagnostic unit&apos;s emulator: takes the link&apos;s frames over TCP and answers as the unit does.
  --listen HOST:PORT  the address to connect to (port 0: any free one)
  --harness FILE      the harness description in JSON
  --log               print every frame received and sent
  --compact           announce the compact form of frames in the hello
  --drop-after N      answer nothing after N commands
  --close-after N     close the connection at command N+1
  --reply-us N        answer N microseconds after the command (1000)
  --control HOST:PORT control lines: probe PIN|none, connect A B,
                      disconnect A B, reset; answered ok or an error
</translation>
    </message>
    <message>
        <source>--control ожидает HOST:PORT</source>
        <translation>--control expects HOST:PORT</translation>
    </message>
</context>
<context>
    <name>SystemErrorText</name>
    <message>
        <source>нет доступа (пользователь должен входить в группу dialout)</source>
        <translation>access denied (the user must be in the group dialout)</translation>
    </message>
    <message>
        <source>устройство не найдено (блок не подключён?)</source>
        <translation>device not found (is the unit plugged in?)</translation>
    </message>
    <message>
        <source>устройство отключено</source>
        <translation>device disconnected</translation>
    </message>
    <message>
        <source>устройство занято другой программой</source>
        <translation>device busy with another program</translation>
    </message>
    <message>
        <source>соединение отклонено (по этому адресу никто не ждёт подключения)</source>
        <translation>connection refused (nobody is listening at that address)</translation>
    </message>
    <message>
        <source>время ожидания истекло</source>
        <translation>timed out</translation>
    </message>
    <message>
        <source>узел недоступен</source>
        <translation>host unreachable</translation>
    </message>
    <message>
        <source>соединение разорвано</source>
        <translation>connection reset</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода (кабель отключён?)</source>
        <translation>input/output error (is the cable unplugged?)</translation>
    </message>
    <message>
        <source>устройство не поддерживает настройку линии</source>
        <translation>the device does not support line settings</translation>
    </message>
    <message>
        <source>недопустимый параметр</source>
        <translation>invalid argument</translation>
    </message>
    <message>
        <source>это папка, а не устройство</source>
        <translation>this is a folder, not a device</translation>
    </message>
    <message>
        <source>часть пути не является папкой</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>слишком длинное имя</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>слишком много символических ссылок в пути</source>
        <translation>too many symbolic links in the path</translation>
    </message>
    <message>
        <source>файловая система доступна только для чтения</source>
        <translation>the file system is read-only</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>недостаточно памяти</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>ресурс временно недоступен</source>
        <translation>the resource is temporarily unavailable</translation>
    </message>
    <message>
        <source>вызов прерван сигналом</source>
        <translation>the call was interrupted by a signal</translation>
    </message>
    <message>
        <source>адрес недоступен на этом компьютере</source>
        <translation>the address is not available on this computer</translation>
    </message>
    <message>
        <source>семейство адресов не поддерживается</source>
        <translation>the address family is not supported</translation>
    </message>
    <message>
        <source>сеть не работает</source>
        <translation>the network is down</translation>
    </message>
    <message>
        <source>узел выключен</source>
        <translation>the host is down</translation>
    </message>
    <message>
        <source>соединение прервано</source>
        <translation>the connection was aborted</translation>
    </message>
    <message>
        <source>нет соединения</source>
        <translation>not connected</translation>
    </message>
    <message>
        <source>соединение закрыто</source>
        <translation>the connection is closed</translation>
    </message>
    <message>
        <source>ошибка протокола</source>
        <translation>protocol error</translation>
    </message>
    <message>
        <source>неверный дескриптор</source>
        <translation>bad file descriptor</translation>
    </message>
    <message>
        <source>нет места на устройстве</source>
        <translation>no space left on the device</translation>
    </message>
    <message>
        <source>операция не поддерживается</source>
        <translation>the operation is not supported</translation>
    </message>
    <message>
        <source>функция не поддерживается системой</source>
        <translation>the function is not supported by the system</translation>
    </message>
    <message>
        <source>системная ошибка %1 (%2)</source>
        <translation>system error %1 (%2)</translation>
    </message>
    <message>
        <source>системная ошибка %1</source>
        <translation>system error %1</translation>
    </message>
    <message>
        <source>такой узел не найден (проверьте имя или адрес)</source>
        <translation>no such host (check the name or the address)</translation>
    </message>
    <message>
        <source>у узла нет подходящего адреса</source>
        <translation>the host has no suitable address</translation>
    </message>
    <message>
        <source>служба имён временно недоступна, повторите позже</source>
        <translation>the name service is temporarily unavailable, try again later</translation>
    </message>
    <message>
        <source>служба имён не смогла найти адрес</source>
        <translation>the name service could not find the address</translation>
    </message>
    <message>
        <source>неверный номер порта</source>
        <translation>invalid port number</translation>
    </message>
    <message>
        <source>тип соединения не поддерживается</source>
        <translation>the connection type is not supported</translation>
    </message>
    <message>
        <source>ошибка поиска адреса %1</source>
        <translation>address lookup error %1</translation>
    </message>
</context>
<context>
    <name>TAbstractHard</name>
    <message>
        <source>Внимание! Блок диагностики переведен в режим автономной работы. Индикация работы блока диагностики выключена! Изменение параметров работы комплекса невозможно до тех пор пока не будет включена индикация. Вы действительно хотите продолжить?</source>
        <translation>Attention! The diagnostic unit has been switched to autonomous operation. The display of the unit&apos;s work is off! The test settings cannot be changed until the display is switched on again. Do you really want to continue?</translation>
    </message>
</context>
<context>
    <name>TAppSettings</name>
    <message>
        <source>Не удалось сохранить файл настроек %1: %2</source>
        <translation>Could not save the settings file %1: %2</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>TApprovals</name>
    <message>
        <source>Не удалось прочитать базу записей «%1»: %2</source>
        <translation>Could not read the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Не удалось записать в базу записей «%1»: %2</source>
        <translation>Could not write to the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>утвержден: %1, %2</source>
        <translation>approved: %1, %2</translation>
    </message>
    <message>
        <source>не утвержден</source>
        <translation>not approved</translation>
    </message>
    <message>
        <source>Эталон не утвержден: проверка невозможна. Обратитесь к мастеру.</source>
        <translation>The reference is not approved: no check is possible. Ask your supervisor.</translation>
    </message>
</context>
<context>
    <name>TAssemblyGuide</name>
    <message>
        <source>Неверно: %1 соединен с %2</source>
        <translation>Wrong: %1 is connected to %2</translation>
    </message>
    <message>
        <source>Неверно: %1 соединен с %2, а должен с %3</source>
        <translation>Wrong: %1 is connected to %2, it should be to %3</translation>
    </message>
    <message>
        <source>Вставьте провод %1 из %2: %3 — %4</source>
        <translation>Insert wire %1 of %2: %3 — %4</translation>
    </message>
    <message>
        <source>Провод %1 вынут: %2 — %3</source>
        <translation>Wire %1 pulled out: %2 — %3</translation>
    </message>
</context>
<context>
    <name>TChainCheck</name>
    <message>
        <source>… всего нарушений: %1 (pinvel-check audit назовет все)</source>
        <translation>… breaks in all: %1 (pinvel-check audit names each)</translation>
    </message>
</context>
<context>
    <name>TCheckApproval</name>
    <message>
        <source>Утвердить эталон...</source>
        <translation>Approve the reference...</translation>
    </message>
    <message>
        <source>Эталон %1.</source>
        <translation>The reference %1.</translation>
    </message>
</context>
<context>
    <name>TCheckController</name>
    <message>
        <source>Снять эталон</source>
        <translation>Learn the reference</translation>
    </message>
    <message>
        <source>Загрузить перечень проводов...</source>
        <translation>Load a wire list...</translation>
    </message>
    <message>
        <source>Эталон...</source>
        <translation>Reference...</translation>
    </message>
    <message>
        <source>Проверить жгут</source>
        <translation>Check the harness</translation>
    </message>
    <message>
        <source>Следить за перемежающимися обрывами</source>
        <translation>Watch for intermittent opens</translation>
    </message>
    <message>
        <source>Звуковой сигнал при браке</source>
        <translation>Sound on a fault</translation>
    </message>
    <message>
        <source>Проверка</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Проверка жгута работает в режиме тестера, когда блок диагностики подключен.</source>
        <translation>The harness check works in the tester mode, with the diagnostic unit connected.</translation>
    </message>
    <message>
        <source>Блок диагностики работает автономно. Включите «Читать разъем» или «Читать зонд» и повторите команду.</source>
        <translation>The diagnostic unit works autonomously. Switch on &quot;Read connectors&quot; or &quot;Read probe&quot; and repeat the command.</translation>
    </message>
    <message>
        <source>В проекте нет контактов, привязанных к выводам блока диагностики: проверять нечего.</source>
        <translation>No contact of the project is tied to a pin of the diagnostic unit: there is nothing to check.</translation>
    </message>
    <message>
        <source>Сначала сохраните проект: эталон хранится рядом с ним, в перечне проводов ИМЯ.wires.csv. Сохранить проект можно в режиме «Редактор» (Файл / Сохранить).</source>
        <translation>Save the project first: the reference is kept beside it, in the wire list NAME.wires.csv. The project is saved in the editor mode (File / Save).</translation>
    </message>
    <message>
        <source>Для этого проекта нет эталона. Снимите эталон с исправного жгута («Проверка / Снять эталон») или загрузите перечень проводов.</source>
        <translation>This project has no reference. Learn it from a good harness (&quot;Check / Learn the reference&quot;) or load a wire list.</translation>
    </message>
    <message>
        <source>Снимите эталон заново или загрузите исправленный перечень проводов.</source>
        <translation>Learn the reference again or load a corrected wire list.</translation>
    </message>
    <message>
        <source>Заменить его эталоном, снятым с подключенного жгута?</source>
        <translation>Replace it with the reference learnt from the connected harness?</translation>
    </message>
    <message>
        <source>Загрузить перечень проводов</source>
        <translation>Load a wire list</translation>
    </message>
    <message>
        <source>Перечни проводов (*.csv)</source>
        <translation>Wire lists (*.csv)</translation>
    </message>
    <message>
        <source>Все файлы (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Заменить его загруженным перечнем проводов?</source>
        <translation>Replace it with the loaded wire list?</translation>
    </message>
    <message>
        <source>Перечень проводов принят: цепей %1. Он записан как эталон проекта:</source>
        <translation>The wire list is taken: %1 nets. It is saved as the project&apos;s reference:</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Снятие эталона...</source>
        <translation>Learning the reference...</translation>
    </message>
    <message>
        <source>Проверка жгута...</source>
        <translation>Checking the harness...</translation>
    </message>
    <message>
        <source>Слежение: проверок %1, отклонений %2</source>
        <translation>Watching: %1 checks, %2 deviations</translation>
    </message>
    <message>
        <source>Эталон не снят: эти контакты читают единицу, когда на них ничего не подается.</source>
        <translation>No reference learnt: these contacts read one with nothing driven.</translation>
    </message>
    <message>
        <source>Эталон снят: цепей %1. Он записан в перечень проводов:</source>
        <translation>Reference learnt: %1 nets. It is saved in the wire list:</translation>
    </message>
</context>
<context>
    <name>TCheckRecords</name>
    <message>
        <source>Журнал проверок...</source>
        <translation>Test records...</translation>
    </message>
    <message>
        <source>Записей ждут отправки в общую базу: %1</source>
        <translation>Records waiting for the shared database: %1</translation>
    </message>
    <message>
        <source>Запись проверки не сохранена</source>
        <translation>The record of the check is not saved</translation>
    </message>
    <message>
        <source>Записи проверок остаются на этой станции</source>
        <translation>The test records stay on this station</translation>
    </message>
    <message>
        <source>Эталон не сохранен в базе записей: %1</source>
        <translation>The reference was not kept in the records database: %1</translation>
    </message>
</context>
<context>
    <name>TCheckResultsPanel</name>
    <message>
        <source>Результаты проверки</source>
        <translation>Check results</translation>
    </message>
    <message>
        <source>Неисправность</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>Раз</source>
        <translation>Times</translation>
    </message>
    <message>
        <source>Впервые</source>
        <translation>First</translation>
    </message>
    <message>
        <source>Последний раз</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Проверок еще не было</source>
        <translation>No check yet</translation>
    </message>
    <message>
        <source>Проверка отменена</source>
        <translation>Check cancelled</translation>
    </message>
    <message>
        <source>Идет слежение...</source>
        <translation>Watching...</translation>
    </message>
    <message>
        <source>Идет проверка...</source>
        <translation>Checking...</translation>
    </message>
    <message>
        <source>Проверка: %1</source>
        <translation>Checked: %1</translation>
    </message>
    <message>
        <source>Неисправностей нет</source>
        <translation>No faults</translation>
    </message>
    <message>
        <source>Неисправностей: %1</source>
        <translation>Faults: %1</translation>
    </message>
    <message>
        <source>Слежение: %1 — %2</source>
        <translation>Watched: %1 — %2</translation>
    </message>
    <message>
        <source>Слежение с %1</source>
        <translation>Watching since %1</translation>
    </message>
    <message>
        <source>Проверок: %1, без отклонений: %2</source>
        <translation>Checks: %1, without deviation: %2</translation>
    </message>
    <message>
        <source>Эталон %1</source>
        <translation>Reference %1</translation>
    </message>
</context>
<context>
    <name>TCommandLine</name>
    <message>
        <source>неизвестный параметр «%1»</source>
        <translation>unknown option &quot;%1&quot;</translation>
    </message>
    <message>
        <source>можно открыть только один проект, а названо %1: «%2», «%3»...</source>
        <translation>only one project can be opened, but %1 were named: &quot;%2&quot;, &quot;%3&quot;...</translation>
    </message>
    <message>
        <source>пустое имя файла</source>
        <translation>empty file name</translation>
    </message>
    <message>
        <source>Использование: pinvel [ФАЙЛ.pvl]
Тестер кабельных жгутов: разметка разъемов жгута и проверка через блок диагностики.

  ФАЙЛ.pvl      открыть этот проект при запуске
  -h, --help    показать эту справку и выйти
  --version     показать версию и выйти
</source>
        <translation>Usage: pinvel [FILE.pvl]
Cable harness tester: lay out the connectors of a harness and test it through the diagnostic unit.

  FILE.pvl      open this project at start
  -h, --help    show this help and exit
  --version     show the version and exit
</translation>
    </message>
    <message>
        <source>Справка: pinvel --help</source>
        <translation>Help: pinvel --help</translation>
    </message>
    <message>
        <source>Лицензия: GNU GPL версии 3 или более поздней (GPL-3.0-or-later). Это свободная программа: ее можно изменять и распространять; гарантий нет.</source>
        <translation>Licence: GNU GPL version 3 or later (GPL-3.0-or-later). This is free software: you may change and share it; there is no warranty.</translation>
    </message>
</context>
<context>
    <name>TComponentStream</name>
    <message>
        <source>позиция дочернего компонента должна быть целым числом</source>
        <translation>the position of a child component must be an integer</translation>
    </message>
    <message>
        <source>неизвестный тип значения %1 у свойства «%2»</source>
        <translation>unknown value type %1 of the property &quot;%2&quot;</translation>
    </message>
    <message>
        <source>у свойства «%1» нет значения</source>
        <translation>the property &quot;%1&quot; has no value</translation>
    </message>
    <message>
        <source>длина строки UTF-8</source>
        <translation>length of a UTF-8 string</translation>
    </message>
    <message>
        <source>длина строки UTF-16</source>
        <translation>length of a UTF-16 string</translation>
    </message>
    <message>
        <source>длина двоичных данных</source>
        <translation>length of binary data</translation>
    </message>
    <message>
        <source>элемент набора «%1» не начинается со списка</source>
        <translation>the element of the set &quot;%1&quot; does not begin with a list</translation>
    </message>
    <message>
        <source>блок свойств разъема обрывается</source>
        <translation>the connector&apos;s property block breaks off</translation>
    </message>
    <message>
        <source>блок свойств вложен глубже %1 уровней</source>
        <translation>the property block is nested deeper than %1 levels</translation>
    </message>
    <message>
        <source>блок свойств разъема не начинается с «TPF0»</source>
        <translation>the connector&apos;s property block does not begin with &quot;TPF0&quot;</translation>
    </message>
    <message>
        <source>Значение свойства не может иметь тип null.</source>
        <translation>A property value cannot be of type null.</translation>
    </message>
</context>
<context>
    <name>TControlPort</name>
    <message>
        <source>адрес %1: %2</source>
        <translation>address %1: %2</translation>
    </message>
    <message>
        <source>не удалось слушать %1:%2: %3</source>
        <translation>could not listen on %1:%2: %3</translation>
    </message>
    <message>
        <source>ошибка: слишком длинная строка</source>
        <translation>error: line too long</translation>
    </message>
</context>
<context>
    <name>TFault</name>
    <message>
        <source>отсоединен</source>
        <translation>detached</translation>
    </message>
    <message>
        <source>отсоединены</source>
        <translation>detached</translation>
    </message>
    <message>
        <source>соединен</source>
        <translation>joined</translation>
    </message>
    <message>
        <source>соединены</source>
        <translation>joined</translation>
    </message>
    <message>
        <source>обрыв</source>
        <translation>open</translation>
    </message>
    <message>
        <source>замыкание</source>
        <translation>short</translation>
    </message>
    <message>
        <source>перепутан</source>
        <translation>miswired</translation>
    </message>
    <message>
        <source>посторонний потенциал</source>
        <translation>foreign potential</translation>
    </message>
    <message>
        <source>%1 %2 от %3</source>
        <translation>%1 %2 from %3</translation>
    </message>
    <message>
        <source>%1 и %2 поменяны местами</source>
        <translation>%1 and %2 swapped</translation>
    </message>
    <message>
        <source>%1 %2 от %3 и %4 с %5</source>
        <translation>%1 %2 from %3 and %4 with %5</translation>
    </message>
</context>
<context>
    <name>TFdLink</name>
    <message>
        <source>%1: не удалось создать событие: %2</source>
        <translation>%1: could not create an event: %2</translation>
    </message>
    <message>
        <source>%1: связь потеряна.</source>
        <translation>%1: link lost.</translation>
    </message>
    <message>
        <source>%1: блок диагностики не принимает данные.</source>
        <translation>%1: the diagnostic unit does not accept data.</translation>
    </message>
    <message>
        <source>%1: ошибка записи: %2</source>
        <translation>%1: write error: %2</translation>
    </message>
    <message>
        <source>%1: ошибка ожидания: %2</source>
        <translation>%1: wait error: %2</translation>
    </message>
    <message>
        <source>соединение закрыто блоком диагностики</source>
        <translation>connection closed by the diagnostic unit</translation>
    </message>
    <message>
        <source> (на середине кадра)</source>
        <translation> (in the middle of a frame)</translation>
    </message>
    <message>
        <source>%1: связь потеряна: %2%3.</source>
        <translation>%1: link lost: %2%3.</translation>
    </message>
    <message>
        <source>%1: неверный кадр от блока диагностики: %2.</source>
        <translation>%1: bad frame from the diagnostic unit: %2.</translation>
    </message>
</context>
<context>
    <name>TFileErrorText</name>
    <message>
        <source>файл или папка не найдены</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>нет доступа</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>на диске нет места</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>превышена дисковая квота</source>
        <translation>the disk quota is exceeded</translation>
    </message>
    <message>
        <source>диск доступен только для чтения</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>это папка, а не файл</source>
        <translation>this is a folder, not a file</translation>
    </message>
    <message>
        <source>часть пути не является папкой</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>слишком много символических ссылок в пути</source>
        <translation>too many symbolic links in the path</translation>
    </message>
    <message>
        <source>слишком длинное имя</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>файл слишком велик</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>файл занят</source>
        <translation>the file is busy</translation>
    </message>
    <message>
        <source>файл нельзя перенести на другой диск</source>
        <translation>the file cannot be moved to another disk</translation>
    </message>
    <message>
        <source>системная ошибка %1</source>
        <translation>system error %1</translation>
    </message>
</context>
<context>
    <name>TFixtureCheck</name>
    <message>
        <source>замкнуты выводы блока: %1</source>
        <translation>unit pins shorted: %1</translation>
    </message>
    <message>
        <source>посторонний потенциал на выводах блока: %1</source>
        <translation>foreign potential on unit pins: %1</translation>
    </message>
</context>
<context>
    <name>TFrameCodec</name>
    <message>
        <source>неполный кадр</source>
        <translation>incomplete frame</translation>
    </message>
    <message>
        <source>кадр</source>
        <translation>frame</translation>
    </message>
    <message>
        <source>неверный байт синхронизации</source>
        <translation>bad sync byte</translation>
    </message>
    <message>
        <source>недопустимая длина данных</source>
        <translation>invalid data length</translation>
    </message>
    <message>
        <source>неверная контрольная сумма</source>
        <translation>bad checksum</translation>
    </message>
</context>
<context>
    <name>TGuidancePanel</name>
    <message>
        <source>Сборка и зонд</source>
        <translation>Assembly and probe</translation>
    </message>
    <message>
        <source>Сборка по эталону</source>
        <translation>Guided assembly</translation>
    </message>
    <message>
        <source>Найти зондом</source>
        <translation>Find with the probe</translation>
    </message>
    <message>
        <source>Вставлено проводов: %1 из %2</source>
        <translation>Wires in: %1 of %2</translation>
    </message>
</context>
<context>
    <name>TGuidedChecks</name>
    <message>
        <source>Сборка по эталону</source>
        <translation>Guided assembly</translation>
    </message>
    <message>
        <source>Найти зондом</source>
        <translation>Find with the probe</translation>
    </message>
    <message>
        <source>Проверить адаптер</source>
        <translation>Check the fixture</translation>
    </message>
    <message>
        <source>Все провода вставлены: проверка жгута</source>
        <translation>All wires are in: verifying the harness</translation>
    </message>
    <message>
        <source>Адаптер исправен: каждый вывод сам по себе, посторонних потенциалов нет (выводов %1)</source>
        <translation>The fixture is good: every pin stands alone, no foreign potential (%1 pins)</translation>
    </message>
    <message>
        <source>Неисправность адаптера (жгут должен быть отключен):</source>
        <translation>Fault of the fixture (the harness must be disconnected):</translation>
    </message>
</context>
<context>
    <name>THarness</name>
    <message>
        <source>Файл описания жгута &quot;%1&quot;: %2.</source>
        <translation>Harness description file &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл описания жгута &quot;%1&quot;.</source>
        <translation>Could not open the harness description file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>файл слишком велик</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>ошибка в записи JSON в позиции %1</source>
        <translation>JSON syntax error at position %1</translation>
    </message>
    <message>
        <source>ожидается объект JSON с ключами &quot;nets&quot; и &quot;probe&quot;</source>
        <translation>a JSON object with the keys &quot;nets&quot; and &quot;probe&quot; is expected</translation>
    </message>
    <message>
        <source>&quot;unitType&quot; должен быть целым числом от 1 до 65535</source>
        <translation>&quot;unitType&quot; must be an integer from 1 to 65535</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; не контакт блока (ожидается X1:a1 .. X2:c31)</source>
        <translation>%1: &quot;%2&quot; is not a pin of the unit (X1:a1 .. X2:c31 expected)</translation>
    </message>
    <message>
        <source>не строка</source>
        <translation>not a string</translation>
    </message>
    <message>
        <source>&quot;nets&quot; должен быть списком цепей</source>
        <translation>&quot;nets&quot; must be a list of nets</translation>
    </message>
    <message>
        <source>цепь %1</source>
        <translation>net %1</translation>
    </message>
    <message>
        <source>%1 должна быть списком контактов</source>
        <translation>%1 must be a list of pins</translation>
    </message>
    <message>
        <source>%1: контакт &quot;%2&quot; уже входит в другую цепь</source>
        <translation>%1: the pin &quot;%2&quot; already belongs to another net</translation>
    </message>
    <message>
        <source>&quot;probe&quot;</source>
        <translation>&quot;probe&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; должен быть списком</source>
        <translation>&quot;%1&quot; must be a list</translation>
    </message>
    <message>
        <source>&quot;shorts&quot;, пара %1</source>
        <translation>&quot;shorts&quot;, pair %1</translation>
    </message>
    <message>
        <source>%1 должна быть списком из двух контактов</source>
        <translation>%1 must be a list of two pins</translation>
    </message>
    <message>
        <source>&quot;intermittent&quot;, элемент %1</source>
        <translation>&quot;intermittent&quot;, item %1</translation>
    </message>
    <message>
        <source>%1 должен быть объектом с ключами &quot;pin&quot;, &quot;dropMs&quot; и &quot;periodMs&quot;</source>
        <translation>%1 must be an object with the keys &quot;pin&quot;, &quot;dropMs&quot; and &quot;periodMs&quot;</translation>
    </message>
    <message>
        <source>%1: &quot;periodMs&quot; должен быть целым числом мс от 1 до 3600000, &quot;dropMs&quot; — от 1 до &quot;periodMs&quot;</source>
        <translation>%1: &quot;periodMs&quot; must be a whole number of ms from 1 to 3600000, &quot;dropMs&quot; from 1 to &quot;periodMs&quot;</translation>
    </message>
</context>
<context>
    <name>THarnessCheck</name>
    <message>
        <source>ГОДЕН</source>
        <translation>GOOD</translation>
    </message>
    <message>
        <source>БРАК</source>
        <translation>FAULTY</translation>
    </message>
    <message>
        <source>Блок диагностики прочитал %1 выводов из %2</source>
        <translation>The diagnostic unit read %1 pins of %2</translation>
    </message>
    <message>
        <source>Эталон составлен для другого набора контактов проекта</source>
        <translation>The reference was made for another set of the project&apos;s contacts</translation>
    </message>
</context>
<context>
    <name>TJournalModel</name>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Неисправностей</source>
        <translation>Faults</translation>
    </message>
    <message>
        <source>Проект</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Оператор</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Станция</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Проверок</source>
        <translation>Checks</translation>
    </message>
</context>
<context>
    <name>TKestrumPort</name>
    <message>
        <source>Неверная настройка связи с блоком диагностики &quot;%1&quot;: ожидается sim, serial:/dev/ttyACM0 или tcp:127.0.0.1:5025.</source>
        <translation>Wrong setting of the link to the diagnostic unit &quot;%1&quot;: sim, serial:/dev/ttyACM0 or tcp:127.0.0.1:5025 is expected.</translation>
    </message>
    <message>
        <source>Неизвестная скорость последовательного порта &quot;%1&quot; в настройке связи &quot;%2&quot;: допустимы %3.</source>
        <translation>Unknown serial port speed &quot;%1&quot; in the link setting &quot;%2&quot;: %3 are allowed.</translation>
    </message>
    <message>
        <source>Неверные данные запуска библиотеки.</source>
        <translation>Wrong start data of the library.</translation>
    </message>
    <message>
        <source>Работа с библиотекой завершена.</source>
        <translation>Work with the library has ended.</translation>
    </message>
    <message>
        <source>неверный ответ на приветствие</source>
        <translation>wrong answer to the greeting</translation>
    </message>
    <message>
        <source>блок диагностики не ответил за %1 мс</source>
        <translation>the diagnostic unit did not answer within %1 ms</translation>
    </message>
    <message>
        <source>Блок диагностики не отвечает (%1): %2</source>
        <translation>The diagnostic unit does not answer (%1): %2</translation>
    </message>
    <message>
        <source>Связь с блоком диагностики не открыта.</source>
        <translation>The link to the diagnostic unit is not open.</translation>
    </message>
    <message>
        <source>Неверная команда блоку диагностики: код %1, длина %2.</source>
        <translation>Wrong command to the diagnostic unit: code %1, length %2.</translation>
    </message>
    <message>
        <source>Блок диагностики не ответил за %1 мс.</source>
        <translation>The diagnostic unit did not answer within %1 ms.</translation>
    </message>
    <message>
        <source>Ожидание ответа прервано: блок перезагружен или связь закрыта.</source>
        <translation>The wait for the answer was cut short: the unit was rebooted or the link closed.</translation>
    </message>
    <message>
        <source>Нет команды, ожидающей ответа.</source>
        <translation>No command is waiting for an answer.</translation>
    </message>
    <message>
        <source>связь закрыта во время ожидания ответа</source>
        <translation>the link was closed while waiting for the answer</translation>
    </message>
</context>
<context>
    <name>TParetoModel</name>
    <message>
        <source>Контакт</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Проверок с браком</source>
        <translation>Faulty checks</translation>
    </message>
    <message>
        <source>Доля</source>
        <translation>Share</translation>
    </message>
    <message>
        <source>Нарастающим итогом</source>
        <translation>Cumulative</translation>
    </message>
    <message>
        <source>Из них непрерывных</source>
        <translation>Of them continuous</translation>
    </message>
</context>
<context>
    <name>TPortExchange</name>
    <message>
        <source>Не удалось отправить команду блоку диагностики</source>
        <translation>Could not send the command to the diagnostic unit</translation>
    </message>
    <message>
        <source>Блок диагностики не ответил</source>
        <translation>The diagnostic unit did not answer</translation>
    </message>
    <message>
        <source>Неверный ответ блока диагностики: код %1, длина %2 (ожидался код %3, длина %4)</source>
        <translation>Wrong answer of the diagnostic unit: code %1, length %2 (expected code %3, length %4)</translation>
    </message>
</context>
<context>
    <name>TProbeSearch</name>
    <message>
        <source>Зонд ни к чему не подключен</source>
        <translation>The probe touches nothing</translation>
    </message>
    <message>
        <source>Зонд: %1</source>
        <translation>Probe: %1</translation>
    </message>
    <message>
        <source>Зонд касается нескольких цепей сразу или постороннего потенциала</source>
        <translation>The probe touches several nets at once or a foreign potential</translation>
    </message>
</context>
<context>
    <name>TProjectJson</name>
    <message>
        <source>Ошибка в описании проекта, %1: %2.</source>
        <translation>Error in the project description, %1: %2.</translation>
    </message>
    <message>
        <source>нет поля «%1»</source>
        <translation>no field &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ожидается целое число</source>
        <translation>a whole number is expected</translation>
    </message>
    <message>
        <source>число %1 вне пределов %2..%3</source>
        <translation>the number %1 is outside %2..%3</translation>
    </message>
    <message>
        <source>ожидается строка</source>
        <translation>a string is expected</translation>
    </message>
    <message>
        <source>ожидается массив</source>
        <translation>an array is expected</translation>
    </message>
    <message>
        <source>ожидается объект</source>
        <translation>an object is expected</translation>
    </message>
    <message>
        <source>ожидается цвет вида 0x00BBGGRR</source>
        <translation>a colour as 0x00BBGGRR is expected</translation>
    </message>
    <message>
        <source>ожидаются байты в шестнадцатеричной записи</source>
        <translation>bytes in hexadecimal are expected</translation>
    </message>
    <message>
        <source>неизвестный тип значения «%1»</source>
        <translation>unknown value type &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ожидается целое число в строке</source>
        <translation>a whole number in a string is expected</translation>
    </message>
    <message>
        <source>нужно байт: %1</source>
        <translation>bytes needed: %1</translation>
    </message>
    <message>
        <source>тип null не может быть значением</source>
        <translation>the type null cannot be a value</translation>
    </message>
    <message>
        <source>слишком глубокая вложенность</source>
        <translation>nested too deeply</translation>
    </message>
    <message>
        <source>ожидается «pinvel-project»</source>
        <translation>&quot;pinvel-project&quot; is expected</translation>
    </message>
    <message>
        <source>поддерживается только версия 1</source>
        <translation>only version 1 is supported</translation>
    </message>
    <message>
        <source>нужно %1 строк по %2 контактов (RowCount и ColCount блока свойств)</source>
        <translation>%1 rows of %2 contacts are needed (RowCount and ColCount of the property block)</translation>
    </message>
    <message>
        <source>нужно %1 описаний рядов</source>
        <translation>%1 row descriptions are needed</translation>
    </message>
</context>
<context>
    <name>TProperty</name>
    <message>
        <source> [Тестер]</source>
        <translation> [Tester]</translation>
    </message>
    <message>
        <source> [Редактор]</source>
        <translation> [Editor]</translation>
    </message>
</context>
<context>
    <name>TPtyWire</name>
    <message>
        <source>не удалось создать псевдотерминал: %1</source>
        <translation>could not make a pseudo-terminal: %1</translation>
    </message>
</context>
<context>
    <name>TRazem</name>
    <message>
        <source>Разъем может иметь от 0 до %1 позиций в ряду, запрошено %2.</source>
        <translation>A connector may have 0 to %1 positions in a row; %2 were asked for.</translation>
    </message>
    <message>
        <source>Разъем может иметь не более %1 рядов контактов, запрошено %2 строк сетки.</source>
        <translation>A connector may have at most %1 rows of contacts; %2 grid rows were asked for.</translation>
    </message>
    <message>
        <source>Неизвестный размер кнопок разъема: %1.</source>
        <translation>Unknown button size of the connector: %1.</translation>
    </message>
    <message>
        <source>Разъем может иметь не более %1 рядов контактов.</source>
        <translation>A connector may have at most %1 rows of contacts.</translation>
    </message>
    <message>
        <source>Ряд %1: количество контактов не может быть отрицательным.</source>
        <translation>Row %1: the number of contacts cannot be negative.</translation>
    </message>
    <message>
        <source>Ряд %1: первый контакт должен стоять в позиции 1 или дальше.</source>
        <translation>Row %1: the first contact must be at position 1 or further.</translation>
    </message>
    <message>
        <source>Ряд %1: приращение позиции должно быть не меньше 1.</source>
        <translation>Row %1: the position step must be at least 1.</translation>
    </message>
    <message>
        <source>Ряд %1: последний контакт попадает в позицию %2, а разъем вмещает не более %3 позиций.</source>
        <translation>Row %1: the last contact falls on position %2, but the connector holds at most %3 positions.</translation>
    </message>
</context>
<context>
    <name>TRazemRecord</name>
    <message>
        <source>свойство «%1» должно быть целым числом</source>
        <translation>the property &quot;%1&quot; must be an integer</translation>
    </message>
    <message>
        <source>значение %1 свойства «%2» вне пределов 0..%3</source>
        <translation>the value %1 of the property &quot;%2&quot; is outside 0..%3</translation>
    </message>
    <message>
        <source>нечетное число строк сетки %1: у каждого ряда контактов две строки</source>
        <translation>odd number of grid rows %1: every row of contacts has two rows</translation>
    </message>
    <message>
        <source>Разъем «%1»: ряды или контакты не соответствуют размеру сетки %2 x %3.</source>
        <translation>Connector &quot;%1&quot;: the rows or contacts do not match the grid size %2 x %3.</translation>
    </message>
    <message>
        <source>неизвестный размер кнопок %1 (допустимы 0, 1 и 2)</source>
        <translation>unknown button size %1 (0, 1 and 2 are allowed)</translation>
    </message>
    <message>
        <source>номер разъема %1 не совпадает с его местом в файле (%2)</source>
        <translation>the connector number %1 does not match its place in the file (%2)</translation>
    </message>
    <message>
        <source>число имен контактов</source>
        <translation>number of contact names</translation>
    </message>
    <message>
        <source>файл обрывается: рядов %1 и контактов %2 x %3 в нем не помещается</source>
        <translation>the file breaks off: %1 rows and %2 x %3 contacts do not fit in it</translation>
    </message>
    <message>
        <source>описание ряда %1 ставит контакты вне разъема (количество %2, первый %3, приращение %4)</source>
        <translation>the description of row %1 puts contacts outside the connector (count %2, first %3, step %4)</translation>
    </message>
    <message>
        <source>неизвестное состояние %1 контакта (столбец %2, строка %3)</source>
        <translation>unknown state %1 of a contact (column %2, row %3)</translation>
    </message>
    <message>
        <source>номер имени %1 контакта (столбец %2, строка %3) вне списка из %4 имен</source>
        <translation>the name number %1 of a contact (column %2, row %3) is outside the list of %4 names</translation>
    </message>
</context>
<context>
    <name>TRazemView</name>
    <message>
        <source>Символ «%1» в имени контакта нельзя сохранить в файле проекта. Переименование невозможно.</source>
        <translation>The character &quot;%1&quot; in a contact name cannot be saved in a project file. The contact cannot be renamed.</translation>
    </message>
    <message>
        <source>Контакт с таким именем уже существует и задействован. Переименование невозможно.</source>
        <translation>A contact with this name already exists and is in use. The contact cannot be renamed.</translation>
    </message>
</context>
<context>
    <name>TRecordAudit</name>
    <message>
        <source>%1, серийный номер «%2», ид. %3</source>
        <translation>%1, serial number &quot;%2&quot;, id %3</translation>
    </message>
    <message>
        <source>Станция «%1»: удалены записи № %2–%3.</source>
        <translation>Station &quot;%1&quot;: records No. %2–%3 deleted.</translation>
    </message>
    <message>
        <source>Станция «%1»: удалена запись № %2.</source>
        <translation>Station &quot;%1&quot;: record No. %2 deleted.</translation>
    </message>
    <message>
        <source>Станция «%1»: запись № %2 (%3) изменена: ее отпечаток вычислен заново, а следующая запись помнит прежний.</source>
        <translation>Station &quot;%1&quot;: record No. %2 (%3) altered: its fingerprint was computed anew, and the next record remembers the old one.</translation>
    </message>
    <message>
        <source>Станция «%1»: запись № %2 (%3) изменена.</source>
        <translation>Station &quot;%1&quot;: record No. %2 (%3) altered.</translation>
    </message>
    <message>
        <source>Станция «%1»: запись (%2) вставлена на место № %3, занятое другой записью.</source>
        <translation>Station &quot;%1&quot;: record (%2) inserted in place No. %3, which another record holds.</translation>
    </message>
    <message>
        <source>Станция «%1»: запись (%2) вставлена: ей нет места в цепочке станции.</source>
        <translation>Station &quot;%1&quot;: record (%2) inserted: it has no place in the station&apos;s chain.</translation>
    </message>
    <message>
        <source>Станция «%1»: запись № %2 (%3) переставлена: в цепочке она шла после записи № %4.</source>
        <translation>Station &quot;%1&quot;: record No. %2 (%3) reordered: in the chain it came after record No. %4.</translation>
    </message>
    <message>
        <source>Цепочка записей цела: станций %1, записей %2.</source>
        <translation>The chain of records is whole: stations %1, records %2.</translation>
    </message>
    <message>
        <source>Цепочка записей нарушена: нарушений %1 (станций %2, записей %3).</source>
        <translation>The chain of records is broken: breaks %1 (stations %2, records %3).</translation>
    </message>
    <message>
        <source>Не удалось прочитать базу записей «%1»: %2</source>
        <translation>Could not read the records database &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TRecordReport</name>
    <message>
        <source> — замечено %1 раз, впервые %2, последний раз %3</source>
        <translation> — seen %1 times, first at %2, last at %3</translation>
    </message>
    <message>
        <source>Не удалось записать отчет «%1»: %2</source>
        <translation>Could not write the report &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Протокол проверки жгута</source>
        <translation>Harness test report</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Проект</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Контрольная сумма эталона (SHA-256)</source>
        <translation>Reference checksum (SHA-256)</translation>
    </message>
    <message>
        <source>Время проверки</source>
        <translation>Time of the check</translation>
    </message>
    <message>
        <source>Оператор</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Станция</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Проверка</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>непрерывная, проверок: %1</source>
        <translation>continuous, checks: %1</translation>
    </message>
    <message>
        <source>однократная</source>
        <translation>single</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Неисправности: %1</source>
        <translation>Faults: %1</translation>
    </message>
    <message>
        <source>Неисправностей нет.</source>
        <translation>No faults.</translation>
    </message>
    <message>
        <source>Журнал проверок</source>
        <translation>Test records</translation>
    </message>
    <message>
        <source>Отбор: %1</source>
        <translation>Filter: %1</translation>
    </message>
    <message>
        <source>Записей: %1</source>
        <translation>Records: %1</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Эталон (SHA-256)</source>
        <translation>Reference (SHA-256)</translation>
    </message>
    <message>
        <source>Неисправности</source>
        <translation>Faults</translation>
    </message>
    <message>
        <source>Протокол проверки жгута %1</source>
        <translation>Harness test report %1</translation>
    </message>
    <message>
        <source>В отчет попало бы %1 записей, а в нем помещается не больше %2: сузьте отбор.</source>
        <translation>The report would hold %1 records, and it holds at most %2: narrow the filter.</translation>
    </message>
    <message>
        <source>с %1</source>
        <translation>from %1</translation>
    </message>
    <message>
        <source>до %1</source>
        <translation>before %1</translation>
    </message>
    <message>
        <source>серийный номер %1</source>
        <translation>serial number %1</translation>
    </message>
    <message>
        <source>проект %1</source>
        <translation>project %1</translation>
    </message>
    <message>
        <source>оператор %1</source>
        <translation>operator %1</translation>
    </message>
    <message>
        <source>все записи</source>
        <translation>all records</translation>
    </message>
    <message>
        <source>Эталон записи</source>
        <translation>Record&apos;s reference</translation>
    </message>
    <message>
        <source>Эталона с SHA-256 %1 нет в базе записей: он был записан до того, как программа стала хранить эталоны.</source>
        <translation>No reference with SHA-256 %1 in the test records: the record was written before the program kept references.</translation>
    </message>
    <message>
        <source>%1: %2, станция %3, %4. Проводов: %5.</source>
        <translation>%1: %2, station %3, %4. Wires: %5.</translation>
    </message>
    <message>
        <source>станция %1</source>
        <translation>station %1</translation>
    </message>
    <message>
        <source>утвержден</source>
        <translation>approved</translation>
    </message>
    <message>
        <source>не утвержден</source>
        <translation>not approved</translation>
    </message>
    <message>
        <source>Эталон</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>✔ — эталон утвержден мастером.</source>
        <translation>✔: the reference approved by a supervisor.</translation>
    </message>
</context>
<context>
    <name>TRecordStore</name>
    <message>
        <source>программа закрывается</source>
        <translation>the program is closing</translation>
    </message>
    <message>
        <source>База записей «%1» повреждена, и ее не удалось отложить: %2</source>
        <translation>The records database &quot;%1&quot; is damaged and could not be set aside: %2</translation>
    </message>
    <message>
        <source>База записей «%1» повреждена: она отложена как «%2», новые записи идут в новую базу. Как вернуть записи из отложенной базы, сказано в справке.</source>
        <translation>The records database &quot;%1&quot; is damaged: it was set aside as &quot;%2&quot;, and new records go to a new database. The help says how to bring back the records of the set-aside one.</translation>
    </message>
</context>
<context>
    <name>TRecordsConfig</name>
    <message>
        <source>ожидается адрес вида postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/БАЗА</source>
        <translation>an address such as postgresql://USER@SERVER:PORT/DATABASE is expected</translation>
    </message>
    <message>
        <source>пароль в файле настроек не хранится: запишите его в ~/.pgpass</source>
        <translation>the password is not kept in the settings file: put it in ~/.pgpass</translation>
    </message>
    <message>
        <source>неверный порт</source>
        <translation>invalid port</translation>
    </message>
    <message>
        <source>Раздел [Records], Database=%1: %2. Записи проверок остаются на этой станции.</source>
        <translation>Section [Records], Database=%1: %2. The test records stay on this station.</translation>
    </message>
</context>
<context>
    <name>TRecordsDatabase</name>
    <message>
        <source>Не удалось открыть базу записей «%1»: %2</source>
        <translation>Could not open the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>нет драйвера Qt SQL для этой базы</source>
        <translation>there is no Qt SQL driver for this database</translation>
    </message>
    <message>
        <source>не удалось создать папку «%1»</source>
        <translation>could not create the folder &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Не удалось прочитать базу записей «%1»: %2</source>
        <translation>Could not read the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Не удалось подготовить базу записей «%1»: %2</source>
        <translation>Could not prepare the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>она создана более новой версией программы (схема %1, эта программа знает схему %2)</source>
        <translation>it was made by a newer version of the program (schema %1, this program knows schema %2)</translation>
    </message>
    <message>
        <source>Не удалось записать проверку в базу «%1»: %2</source>
        <translation>Could not write the check into the database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>база не открыта</source>
        <translation>the database is not open</translation>
    </message>
</context>
<context>
    <name>TReferenceArchive</name>
    <message>
        <source>снят с жгута</source>
        <translation>learnt from a harness</translation>
    </message>
    <message>
        <source>загружен из перечня проводов</source>
        <translation>loaded from a wire list</translation>
    </message>
    <message>
        <source>впервые встречен в записи проверки</source>
        <translation>first met in a check&apos;s record</translation>
    </message>
    <message>
        <source>Не удалось сохранить эталон в базе «%1»: %2</source>
        <translation>Could not keep the reference in the database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>текст эталона не соответствует его SHA-256 %1</source>
        <translation>the reference&apos;s text does not match its SHA-256 %1</translation>
    </message>
    <message>
        <source>Не удалось прочитать базу записей «%1»: %2</source>
        <translation>Could not read the records database &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TReferenceDiff</name>
    <message>
        <source>в новом эталоне: %1</source>
        <translation>in the new reference: %1</translation>
    </message>
    <message>
        <source>Новый эталон не отличается от прежнего.</source>
        <translation>The new reference does not differ from the old one.</translation>
    </message>
    <message>
        <source>и ещё различий: %1</source>
        <translation>and more differences: %1</translation>
    </message>
</context>
<context>
    <name>TReferenceReplace</name>
    <message>
        <source>Для этого проекта уже есть эталон:</source>
        <translation>This project already has a reference:</translation>
    </message>
    <message>
        <source>Чем новый эталон отличается от прежнего (различий: %1):</source>
        <translation>How the new reference differs from the old one (differences: %1):</translation>
    </message>
    <message>
        <source>Прежний эталон не прочитать, сравнить не с чем.</source>
        <translation>The old reference cannot be read: there is nothing to compare with.</translation>
    </message>
</context>
<context>
    <name>TSafeFile</name>
    <message>
        <source>Не удалось сохранить файл «%1»: %2</source>
        <translation>Could not save the file &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TSerialLink</name>
    <message>
        <source>последовательный порт %1</source>
        <translation>serial port %1</translation>
    </message>
    <message>
        <source>Не удалось открыть последовательный порт %1: %2</source>
        <translation>Could not open the serial port %1: %2</translation>
    </message>
    <message>
        <source>%1 не является последовательным портом: %2</source>
        <translation>%1 is not a serial port: %2</translation>
    </message>
    <message>
        <source>Не удалось настроить последовательный порт %1: %2</source>
        <translation>Could not set up the serial port %1: %2</translation>
    </message>
</context>
<context>
    <name>TSimLink</name>
    <message>
        <source>Имитатор блока диагностики отключён.</source>
        <translation>The simulated diagnostic unit is unplugged.</translation>
    </message>
    <message>
        <source>Связь с имитатором блока диагностики потеряна.</source>
        <translation>The link to the simulated diagnostic unit is lost.</translation>
    </message>
</context>
<context>
    <name>TSootv</name>
    <message>
        <source>число соответствий</source>
        <translation>number of correspondences</translation>
    </message>
    <message>
        <source>соответствие %1</source>
        <translation>correspondence %1</translation>
    </message>
</context>
<context>
    <name>TSootvData</name>
    <message>
        <source>число связей соответствия</source>
        <translation>number of ties of a correspondence</translation>
    </message>
    <message>
        <source>вывод вне разъемов блока: разъем X%1, столбец %2, строка %3</source>
        <translation>pin outside the unit&apos;s connectors: connector X%1, column %2, row %3</translation>
    </message>
    <message>
        <source>связь %1 «%2» ссылается на разъем %3, а в файле разъемов %4</source>
        <translation>tie %1 &quot;%2&quot; refers to connector %3, but the file has %4 connectors</translation>
    </message>
    <message>
        <source>связь %1 «%2» указывает на контакт (столбец %3, строка %4) вне разъема %5 размером %6 x %7</source>
        <translation>tie %1 &quot;%2&quot; points to a contact (column %3, row %4) outside connector %5 of size %6 x %7</translation>
    </message>
    <message>
        <source>код вывода %1 не совпадает с ячейкой %2, у которой код %3</source>
        <translation>pin code %1 does not match cell %2, whose code is %3</translation>
    </message>
</context>
<context>
    <name>TStatisticsModel</name>
    <message>
        <source>(не указан)</source>
        <translation>(not given)</translation>
    </message>
    <message>
        <source>День</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Неделя</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>Проект</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Оператор</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Станция</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Проверок</source>
        <translation>Checks</translation>
    </message>
    <message>
        <source>ГОДЕН</source>
        <translation>GOOD</translation>
    </message>
    <message>
        <source>БРАК</source>
        <translation>FAULTY</translation>
    </message>
    <message>
        <source>Жгутов</source>
        <translation>Harnesses</translation>
    </message>
    <message>
        <source>С первого предъявления</source>
        <translation>First pass</translation>
    </message>
    <message>
        <source>В итоге</source>
        <translation>Final</translation>
    </message>
    <message>
        <source>по дням</source>
        <translation>by day</translation>
    </message>
    <message>
        <source>по неделям</source>
        <translation>by week</translation>
    </message>
    <message>
        <source>по проектам</source>
        <translation>by project</translation>
    </message>
    <message>
        <source>по операторам</source>
        <translation>by operator</translation>
    </message>
    <message>
        <source>по станциям</source>
        <translation>by station</translation>
    </message>
</context>
<context>
    <name>TStatisticsQuery</name>
    <message>
        <source>Не удалось посчитать статистику по базе записей «%1»: %2</source>
        <translation>Could not compute the statistics of the records database &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TStatisticsReport</name>
    <message>
        <source>День</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Неделя</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>Проект</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Оператор</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Станция</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Неисправности по видам</source>
        <translation>Faults by kind</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Неисправностей</source>
        <translation>Faults</translation>
    </message>
    <message>
        <source>Проверок</source>
        <translation>Checks</translation>
    </message>
    <message>
        <source>Непрерывная проверка: неисправностей</source>
        <translation>Continuous verify: faults</translation>
    </message>
    <message>
        <source>проверок</source>
        <translation>checks</translation>
    </message>
    <message>
        <source>Жгуты с браком два раза и более: %1</source>
        <translation>Harnesses found faulty two times or more: %1</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>БРАК</source>
        <translation>FAULTY</translation>
    </message>
    <message>
        <source>Статистика проверок</source>
        <translation>Check statistics</translation>
    </message>
    <message>
        <source>Отбор: %1</source>
        <translation>Filter: %1</translation>
    </message>
    <message>
        <source>все записи</source>
        <translation>all records</translation>
    </message>
    <message>
        <source>Проверок: %1 (ГОДЕН %2, БРАК %3), без серийного номера: %4.</source>
        <translation>Checks: %1 (GOOD %2, FAULTY %3), without a serial number: %4.</translation>
    </message>
    <message>
        <source>Жгутов: %1. Годны с первого предъявления: %2 (%3). Годны в итоге: %4 (%5).</source>
        <translation>Harnesses: %1. Good at the first pass: %2 (%3). Good in the end: %4 (%5).</translation>
    </message>
    <message>
        <source>ГОДЕН</source>
        <translation>GOOD</translation>
    </message>
    <message>
        <source>Жгутов</source>
        <translation>Harnesses</translation>
    </message>
    <message>
        <source>С первого предъявления</source>
        <translation>First pass</translation>
    </message>
    <message>
        <source>В итоге</source>
        <translation>Final</translation>
    </message>
    <message>
        <source>(не указан)</source>
        <translation>(not given)</translation>
    </message>
    <message>
        <source>Контакты в неисправностях (первые %1 из %2)</source>
        <translation>Contacts in faults (the first %1 of %2)</translation>
    </message>
    <message>
        <source>Контакт</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Проверок с браком</source>
        <translation>Faulty checks</translation>
    </message>
    <message>
        <source>Доля</source>
        <translation>Share</translation>
    </message>
    <message>
        <source>Нарастающим итогом</source>
        <translation>Cumulative</translation>
    </message>
    <message>
        <source>Из них непрерывных</source>
        <translation>Of them continuous</translation>
    </message>
    <message>
        <source>Не удалось записать отчет «%1»: %2</source>
        <translation>Could not write the report &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TStatisticsTab</name>
    <message>
        <source>CSV...</source>
        <translation>CSV...</translation>
    </message>
    <message>
        <source>JSON...</source>
        <translation>JSON...</translation>
    </message>
    <message>
        <source>Графики PNG...</source>
        <translation>Charts PNG...</translation>
    </message>
    <message>
        <source>Отчет (PDF)...</source>
        <translation>Report (PDF)...</translation>
    </message>
    <message>
        <source>Выход годных</source>
        <translation>Yield</translation>
    </message>
    <message>
        <source>Выход годных, %</source>
        <translation>Yield, %</translation>
    </message>
    <message>
        <source>Контакты в неисправностях</source>
        <translation>Contacts in faults</translation>
    </message>
    <message>
        <source>Проверок: &lt;b&gt;%1&lt;/b&gt; (ГОДЕН %2, БРАК %3; без серийного номера %4). Жгутов: &lt;b&gt;%5&lt;/b&gt;. Годны с первого предъявления: &lt;b&gt;%6&lt;/b&gt; (%7), в итоге: &lt;b&gt;%8&lt;/b&gt; (%9).</source>
        <translation>Checks: &lt;b&gt;%1&lt;/b&gt; (GOOD %2, FAULTY %3; without a serial number %4). Harnesses: &lt;b&gt;%5&lt;/b&gt;. First-pass yield: &lt;b&gt;%6&lt;/b&gt; (%7), final yield: &lt;b&gt;%8&lt;/b&gt; (%9).</translation>
    </message>
    <message>
        <source>С первого предъявления</source>
        <translation>First pass</translation>
    </message>
    <message>
        <source>В итоге</source>
        <translation>Final</translation>
    </message>
    <message>
        <source>(не указан)</source>
        <translation>(not given)</translation>
    </message>
    <message>
        <source>Проверок с браком</source>
        <translation>Faulty checks</translation>
    </message>
    <message>
        <source>Нарастающим итогом, %</source>
        <translation>Cumulative, %</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл «%1»: %2</source>
        <translation>Could not save the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Статистика в CSV</source>
        <translation>Statistics to CSV</translation>
    </message>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>Статистика в JSON</source>
        <translation>Statistics to JSON</translation>
    </message>
    <message>
        <source>Файлы JSON (*.json)</source>
        <translation>JSON files (*.json)</translation>
    </message>
    <message>
        <source>Графики в PNG</source>
        <translation>Charts to PNG</translation>
    </message>
    <message>
        <source>Рисунки PNG (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>Статистика в PDF</source>
        <translation>Statistics to PDF</translation>
    </message>
    <message>
        <source>Файлы PDF (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
</context>
<context>
    <name>TStreamReader</name>
    <message>
        <source>Файл проекта поврежден: %1 (смещение %2).</source>
        <translation>The project file is damaged: %1 (offset %2).</translation>
    </message>
    <message>
        <source>Файл проекта поврежден: %1 (%2, смещение %3).</source>
        <translation>The project file is damaged: %1 (%2, offset %3).</translation>
    </message>
    <message>
        <source>файл обрывается посреди записи: нужно байт %1, осталось %2</source>
        <translation>the file breaks off inside a record: %1 bytes needed, %2 left</translation>
    </message>
    <message>
        <source>отрицательная длина данных %1</source>
        <translation>negative data length %1</translation>
    </message>
    <message>
        <source>отрицательная длина строки %1</source>
        <translation>negative string length %1</translation>
    </message>
    <message>
        <source>длина строки %1 больше оставшейся части файла (%2 байт)</source>
        <translation>string length %1 is larger than the rest of the file (%2 bytes)</translation>
    </message>
    <message>
        <source>%1 отрицательно: %2</source>
        <translation>%1 is negative: %2</translation>
    </message>
    <message>
        <source>%1 (%2) больше, чем может поместиться в оставшейся части файла</source>
        <translation>%1 (%2) is more than the rest of the file can hold</translation>
    </message>
</context>
<context>
    <name>TStreamWriter</name>
    <message>
        <source>Имя «%1» длиннее 255 байт и не может быть записано в блок свойств.</source>
        <translation>The name &quot;%1&quot; is longer than 255 bytes and cannot be written into the property block.</translation>
    </message>
</context>
<context>
    <name>TSupervisors</name>
    <message>
        <source>Не удалось прочитать базу записей «%1»: %2</source>
        <translation>Could not read the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Не удалось записать в базу записей «%1»: %2</source>
        <translation>Could not write to the records database &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Неверный PIN. Пять неверных PIN подряд: мастер «%1» заблокирован до %2.</source>
        <translation>Wrong PIN. Five wrong PINs in a row: supervisor &quot;%1&quot; is locked until %2.</translation>
    </message>
    <message>
        <source>Неверный PIN. Осталось попыток до блокировки: %1.</source>
        <translation>Wrong PIN. Tries left before the lock: %1.</translation>
    </message>
    <message>
        <source>Мастер «%1» заблокирован после пяти неверных PIN подряд; повторите после %2.</source>
        <translation>Supervisor &quot;%1&quot; is locked after five wrong PINs in a row; try again after %2.</translation>
    </message>
    <message>
        <source>В базе записей нет мастера «%1».</source>
        <translation>The records&apos; database has no supervisor &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>PIN мастера — от %1 до %2 цифр.</source>
        <translation>A supervisor&apos;s PIN is %1 to %2 digits.</translation>
    </message>
    <message>
        <source>Не указано имя мастера.</source>
        <translation>No supervisor&apos;s name given.</translation>
    </message>
    <message>
        <source>Не удалось вычислить хэш PIN: не хватает памяти.</source>
        <translation>Could not hash the PIN: not enough memory.</translation>
    </message>
    <message>
        <source>Мастер «%1» уже есть в базе записей.</source>
        <translation>Supervisor &quot;%1&quot; is in the records&apos; database already.</translation>
    </message>
</context>
<context>
    <name>TTcpLink</name>
    <message>
        <source>соединение с %1:%2</source>
        <translation>connection to %1:%2</translation>
    </message>
    <message>
        <source>Не найден адрес %1: %2</source>
        <translation>Address %1 not found: %2</translation>
    </message>
    <message>
        <source>Не удалось подключиться к %1:%2: %3</source>
        <translation>Could not connect to %1:%2: %3</translation>
    </message>
</context>
<context>
    <name>TUSBHardWork</name>
    <message>
        <source>Устройство подключено и готово к работе!</source>
        <translation>The device is connected and ready!</translation>
    </message>
    <message>
        <source>Не удалось инициализировать устройство. Работа в режиме тестера невозможна!</source>
        <translation>Could not initialise the device. The tester mode is not available!</translation>
    </message>
    <message>
        <source>Произошла ошибка при обращении к устройству. Для того чтобы произвести повторную инициализацию устройства проверьте исправность соединительных кабелей и нажмите &quot;Да&quot;</source>
        <translation>An error occurred while accessing the device. To initialise the device again, check the connecting cables and press &quot;Yes&quot;</translation>
    </message>
    <message>
        <source>Не удалось инициализировать устройство. Дальнейшая работа в режиме тестера не возможна.</source>
        <translation>Could not initialise the device. The tester mode is no longer available.</translation>
    </message>
    <message>
        <source>Соединение восстановлено!</source>
        <translation>Connection restored!</translation>
    </message>
</context>
<context>
    <name>TUnitControl</name>
    <message>
        <source>команды: probe ВЫВОД|none, connect ВЫВОД ВЫВОД, disconnect ВЫВОД ВЫВОД, reset</source>
        <translation>commands: probe PIN|none, connect PIN PIN, disconnect PIN PIN, reset</translation>
    </message>
    <message>
        <source>ошибка: %1</source>
        <translation>error: %1</translation>
    </message>
    <message>
        <source>нет вывода «%1» (выводы X1:a1 .. X2:c31)</source>
        <translation>no pin &quot;%1&quot; (pins X1:a1 .. X2:c31)</translation>
    </message>
    <message>
        <source>пустая строка</source>
        <translation>empty line</translation>
    </message>
    <message>
        <source>провод от вывода к нему же</source>
        <translation>a wire from a pin to itself</translation>
    </message>
    <message>
        <source>между %1 и %2 нет провода</source>
        <translation>no wire between %1 and %2</translation>
    </message>
    <message>
        <source>непонятная строка «%1»</source>
        <translation>unknown line &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>TWireList</name>
    <message>
        <source>файл слишком велик для списка проводов</source>
        <translation>the file is too large for a wire list</translation>
    </message>
    <message>
        <source>текст не в кодировке UTF-8</source>
        <translation>the text is not in UTF-8</translation>
    </message>
    <message>
        <source>ожидается заголовок «from,to», а записано «%1»</source>
        <translation>the header &quot;from,to&quot; is expected, but &quot;%1&quot; is written</translation>
    </message>
    <message>
        <source>ожидаются два контакта через запятую, а записано «%1»</source>
        <translation>two contacts separated by a comma are expected, but &quot;%1&quot; is written</translation>
    </message>
    <message>
        <source>контакт «%1» привязан к нескольким выводам блока: провод не указывает, к какому</source>
        <translation>the contact &quot;%1&quot; is tied to several pins of the unit: the wire does not say to which</translation>
    </message>
    <message>
        <source>контакт «%1» не привязан к выводу блока</source>
        <translation>the contact &quot;%1&quot; is not tied to a pin of the unit</translation>
    </message>
    <message>
        <source>в проекте нет контакта «%1»</source>
        <translation>the project has no contact &quot;%1&quot;</translation>
    </message>
    <message>
        <source>провод соединяет контакт «%1» с ним самим</source>
        <translation>the wire joins the contact &quot;%1&quot; to itself</translation>
    </message>
    <message>
        <source>список пуст: нет даже заголовка «from,to»</source>
        <translation>the list is empty: not even the header &quot;from,to&quot;</translation>
    </message>
    <message>
        <source>и ещё ошибок: %1</source>
        <translation>and more errors: %1</translation>
    </message>
    <message>
        <source>не удалось открыть: %1</source>
        <translation>could not open: %1</translation>
    </message>
    <message>
        <source>не удалось прочитать: %1</source>
        <translation>could not read: %1</translation>
    </message>
    <message>
        <source>Список проводов «%1» не принят:</source>
        <translation>The wire list &quot;%1&quot; is refused:</translation>
    </message>
    <message>
        <source>строка %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
</context>
<context>
    <name>TWorkPlace</name>
    <message>
        <source>число разъемов</source>
        <translation>number of connectors</translation>
    </message>
    <message>
        <source>разъем %1</source>
        <translation>connector %1</translation>
    </message>
    <message>
        <source>после последней записи соответствий лишние данные: %1 байт</source>
        <translation>extra data after the last correspondence record: %1 bytes</translation>
    </message>
    <message>
        <source>Не удалось открыть файл «%1»: %2</source>
        <translation>Could not open the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл «%1»: %2</source>
        <translation>Could not read the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Проект загружается только в пустое рабочее поле.</source>
        <translation>A project is loaded only into an empty workspace.</translation>
    </message>
</context>
<context>
    <name>TfmAbout</name>
    <message>
        <source>Pinvel - тестер кабельных жгутов</source>
        <translation>Pinvel - cable harness tester</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Техническая поддержка:</source>
        <translation>Technical support:</translation>
    </message>
    <message>
        <source>Электронная почта:</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>Программа предназначена для проверки кабельных жгутов
с блоком диагностики. Незаконное копирование
и распространение программы или её части
преследуется в соответствии с законом.</source>
        <translation>The program tests cable harnesses
with the diagnostic unit. Unlawful copying
and distribution of the program or any part of it
is prosecuted under the law.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Версия: </source>
        <translation>Version: </translation>
    </message>
</context>
<context>
    <name>TfmApprove</name>
    <message>
        <source>Утвердить эталон</source>
        <translation>Approve the reference</translation>
    </message>
    <message>
        <source>Эталон проекта %1</source>
        <translation>Reference of the project %1</translation>
    </message>
    <message>
        <source>Мастер:</source>
        <translation>Supervisor:</translation>
    </message>
    <message>
        <source>PIN:</source>
        <translation>PIN:</translation>
    </message>
    <message>
        <source>Утвердить</source>
        <translation>Approve</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TfmConstr</name>
    <message>
        <source>Название разъема</source>
        <translation>Connector name</translation>
    </message>
    <message>
        <source>Количество рядов:</source>
        <translation>Number of rows:</translation>
    </message>
    <message>
        <source>Размер разъема</source>
        <translation>Connector size</translation>
    </message>
    <message>
        <source>Малый</source>
        <translation>Small</translation>
    </message>
    <message>
        <source>Средний</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>Большой</source>
        <translation>Large</translation>
    </message>
    <message>
        <source>__Позиционные параметры__</source>
        <translation>__Position parameters__</translation>
    </message>
    <message>
        <source>____Параметры имен контактов ряда____</source>
        <translation>____Contact names of the row____</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Добавление разъема</source>
        <translation>Add connector</translation>
    </message>
    <message>
        <source>Ряд №</source>
        <translation>Row №</translation>
    </message>
    <message>
        <source>Количество контактов</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>Первый контакт</source>
        <translation>First contact</translation>
    </message>
    <message>
        <source>Приращение</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Имя ряда</source>
        <translation>Row name</translation>
    </message>
    <message>
        <source>Имя первого</source>
        <translation>First name</translation>
    </message>
    <message>
        <source>Приращение в имени</source>
        <translation>Name step</translation>
    </message>
    <message>
        <source>Параметры разъема</source>
        <translation>Connector parameters</translation>
    </message>
    <message>
        <source>Один или несколько параметров заданы неверно или не заданы!</source>
        <translation>One or more parameters are wrong or missing!</translation>
    </message>
    <message>
        <source>Количество рядов не может быть отрицательным!</source>
        <translation>The number of rows cannot be negative!</translation>
    </message>
    <message>
        <source>Разъем может иметь не более %1 рядов контактов!</source>
        <translation>A connector may have at most %1 rows of contacts!</translation>
    </message>
    <message>
        <source>Ряд %1, столбец &quot;%2&quot;: количество контактов не может быть отрицательным!</source>
        <translation>Row %1, column &quot;%2&quot;: the number of contacts cannot be negative!</translation>
    </message>
    <message>
        <source>Ряд %1, столбец &quot;%2&quot;: первый контакт должен стоять в позиции 1 или дальше!</source>
        <translation>Row %1, column &quot;%2&quot;: the first contact must be at position 1 or further!</translation>
    </message>
    <message>
        <source>Ряд %1, столбец &quot;%2&quot;: приращение позиции должно быть не меньше 1!</source>
        <translation>Row %1, column &quot;%2&quot;: the position step must be at least 1!</translation>
    </message>
    <message>
        <source>Ряд %1, столбец &quot;%2&quot;: последний контакт ряда попадает в позицию %3, а разъем вмещает не более %4 позиций!</source>
        <translation>Row %1, column &quot;%2&quot;: the last contact of the row falls on position %3, but the connector holds at most %4 positions!</translation>
    </message>
    <message>
        <source>Название разъема содержит символ &quot;%1&quot;, который нельзя сохранить в файле проекта!</source>
        <translation>The connector name contains the character &quot;%1&quot;, which cannot be saved in a project file!</translation>
    </message>
    <message>
        <source>Ряд %1, столбец &quot;%2&quot;: символ &quot;%3&quot; нельзя сохранить в файле проекта!</source>
        <translation>Row %1, column &quot;%2&quot;: the character &quot;%3&quot; cannot be saved in a project file!</translation>
    </message>
    <message>
        <source>При заданной конфигурации разъема некоторые контакты будут иметь одинаковые имена! Нажмите &quot;Да&quot; если хотите просмотреть список повторяющихся имен контактов.</source>
        <translation>With this connector layout some contacts will have the same names! Press &quot;Yes&quot; to see the list of repeated contact names.</translation>
    </message>
    <message>
        <source>Разъем с таким именем уже существует!</source>
        <translation>A connector with this name already exists!</translation>
    </message>
</context>
<context>
    <name>TfmExample</name>
    <message>
        <source>Вид разъема</source>
        <translation>Connector view</translation>
    </message>
</context>
<context>
    <name>TfmJournal</name>
    <message>
        <source>Журнал проверок</source>
        <translation>Test records</translation>
    </message>
    <message>
        <source>Период с</source>
        <translation>Period from</translation>
    </message>
    <message>
        <source>номер или начало*</source>
        <translation>number or its beginning*</translation>
    </message>
    <message>
        <source>все</source>
        <translation>all</translation>
    </message>
    <message>
        <source>по</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Результат:</source>
        <translation>Result:</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Проект:</source>
        <translation>Project:</translation>
    </message>
    <message>
        <source>Оператор:</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <source>Экспорт в CSV...</source>
        <translation>Export to CSV...</translation>
    </message>
    <message>
        <source>Протокол записи (PDF)...</source>
        <translation>Record report (PDF)...</translation>
    </message>
    <message>
        <source>Отчет по списку (PDF)...</source>
        <translation>List report (PDF)...</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Общая база записей: %1</source>
        <translation>Shared records database: %1</translation>
    </message>
    <message>
        <source>Общая база %1 недоступна; показаны записи этой станции (%2).</source>
        <translation>The shared database %1 cannot be reached; the records of this station are shown (%2).</translation>
    </message>
    <message>
        <source>Записи этой станции: %1</source>
        <translation>Records of this station: %1</translation>
    </message>
    <message>
        <source>Записей ждут отправки: %1.</source>
        <translation>Records waiting to be sent: %1.</translation>
    </message>
    <message>
        <source>Записей: %1</source>
        <translation>Records: %1</translation>
    </message>
    <message>
        <source>Экспорт журнала в CSV</source>
        <translation>Export the records to CSV</translation>
    </message>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>Записей: %1; в CSV записано: %2</source>
        <translation>Records: %1; written to CSV: %2</translation>
    </message>
    <message>
        <source>Протокол проверки в PDF</source>
        <translation>Test report to PDF</translation>
    </message>
    <message>
        <source>протокол %1.pdf</source>
        <translation>report %1.pdf</translation>
    </message>
    <message>
        <source>Файлы PDF (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>Отчет по списку в PDF</source>
        <translation>List report to PDF</translation>
    </message>
    <message>
        <source>Записи</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Цепочка записей проверяется...</source>
        <translation>Checking the chain of records...</translation>
    </message>
    <message>
        <source>Станция:</source>
        <translation>Station:</translation>
    </message>
    <message>
        <source>Эталон записи</source>
        <translation>Record&apos;s reference</translation>
    </message>
</context>
<context>
    <name>TfmMain</name>
    <message>
        <source>Новый</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Открыть...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Загрузить...</source>
        <translation>Load...</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Редактировать</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Соответствия</source>
        <translation>Ties</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Последние открытые</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>Тестер</source>
        <translation>Tester</translation>
    </message>
    <message>
        <source>Редактор</source>
        <translation>Editor</translation>
    </message>
    <message>
        <source>Сервис</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>Проверить соединение</source>
        <translation>Check the connection</translation>
    </message>
    <message>
        <source>Перезагрузить блок диагностики</source>
        <translation>Reboot the diagnostic unit</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Переименовать</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Изменить цвет</source>
        <translation>Change colour</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Состояние зонда</source>
        <translation>Probe state</translation>
    </message>
    <message>
        <source>Отображает состояния зондов чтения и записи</source>
        <translation>Shows the states of the probe input and output</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>In</translation>
    </message>
    <message>
        <source>Зонд - запись</source>
        <translation>Probe - output</translation>
    </message>
    <message>
        <source>Управление выходным зондом</source>
        <translation>Drives the probe output</translation>
    </message>
    <message>
        <source>Выключен</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Чтение</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>Читать разъем</source>
        <translation>Read connectors</translation>
    </message>
    <message>
        <source>Читать зонд</source>
        <translation>Read probe</translation>
    </message>
    <message>
        <source>Цикл</source>
        <translation>Cycle</translation>
    </message>
    <message>
        <source>Информация</source>
        <translation>Legend</translation>
    </message>
    <message>
        <source>Уровень логической единицы</source>
        <translation>Logic one level</translation>
    </message>
    <message>
        <source>Уровень логического нуля</source>
        <translation>Logic zero level</translation>
    </message>
    <message>
        <source>Работает генератор</source>
        <translation>Generator running</translation>
    </message>
    <message>
        <source>Вывод не задействован</source>
        <translation>Pin not in use</translation>
    </message>
    <message>
        <source>Не удалось инициализировать устройство. Работа в режиме тестера невозможна!</source>
        <translation>Could not initialise the device. The tester mode is not available!</translation>
    </message>
    <message>
        <source>Вы действительно хотите перезагрузить блок диагностики?</source>
        <translation>Do you really want to reboot the diagnostic unit?</translation>
    </message>
    <message>
        <source>Сохранить изменения в текущем файле?</source>
        <translation>Save the changes in the current file?</translation>
    </message>
    <message>
        <source>Файлы Pinvel (*.pvl)</source>
        <translation>Pinvel files (*.pvl)</translation>
    </message>
    <message>
        <source>Указанный файл не найден! Проверьте правильность пути!</source>
        <translation>The file was not found! Check the path!</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить разъем?</source>
        <translation>Do you really want to delete the connector?</translation>
    </message>
    <message>
        <source>Разъем не выбран!</source>
        <translation>No connector is selected!</translation>
    </message>
    <message>
        <source>Не удалось удалить разъем!</source>
        <translation>Could not delete the connector!</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Применение параметров переименует контакты в соответствии с таблицей! Продолжить?</source>
        <translation>Applying the parameters renames the contacts as the table says! Continue?</translation>
    </message>
    <message>
        <source>Выход</source>
        <comment>the probe output lamp</comment>
        <translation>Out</translation>
    </message>
    <message>
        <source>Блок диагностики не отвечает, и тестер не удалось остановить. Повторите команду.</source>
        <translation>The diagnostic unit does not answer, and the tester could not be stopped. Repeat the command.</translation>
    </message>
    <message>
        <source>Настройки блока диагностики в файле настроек неверны, взяты другие:</source>
        <translation>The diagnostic unit settings in the settings file are wrong; others are taken:</translation>
    </message>
</context>
<context>
    <name>TfmReference</name>
    <message>
        <source>Эталон</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>Перечень проводов: %1</source>
        <translation>Wire list: %1</translation>
    </message>
    <message>
        <source>Цепей: %1, из них соединений: %2, одиночных выводов: %3</source>
        <translation>Nets: %1, of them connections: %2, single pins: %3</translation>
    </message>
    <message>
        <source>Цепь, контакт</source>
        <translation>Net, contact</translation>
    </message>
    <message>
        <source>Вывод блока</source>
        <translation>Unit pin</translation>
    </message>
    <message>
        <source>Цепь %1</source>
        <translation>Net %1</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TfmSerialPrompt</name>
    <message>
        <source>Проверка жгута</source>
        <translation>Harness check</translation>
    </message>
    <message>
        <source>Отсканируйте или введите серийный номер жгута.</source>
        <translation>Scan or type the harness&apos;s serial number.</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Оператор:</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TfmSootv</name>
    <message>
        <source>Разъем X1</source>
        <translation>Connector X1</translation>
    </message>
    <message>
        <source>Разъем X2</source>
        <translation>Connector X2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Соответствия</source>
        <translation>Ties</translation>
    </message>
    <message>
        <source>Ошибка выделения ячейки! Попробуйте стнова!</source>
        <translation>Cell selection error! Please try again!</translation>
    </message>
    <message>
        <source>Данный вывод нельзя задействовать!</source>
        <translation>This pin cannot be used!</translation>
    </message>
    <message>
        <source>Выбранный разъем имеет несколько контактов с именем </source>
        <translation>The selected connector has several contacts named </translation>
    </message>
    <message>
        <source>. Данный контакт невозможно задействовать.</source>
        <translation>. This contact cannot be used.</translation>
    </message>
</context>
<context>
    <name>TfmSootvErr</name>
    <message>
        <source>Повторяющиеся имена</source>
        <translation>Repeated names</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Ошибки</source>
        <translation>Errors</translation>
    </message>
</context>
<context>
    <name>TfmStartUp</name>
    <message>
        <source>Ждите, идет загрузка...</source>
        <translation>Please wait, loading...</translation>
    </message>
</context>
<context>
    <name>TfmVidPropery</name>
    <message>
        <source>Черный</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Темно-бордовый</source>
        <translation>Maroon</translation>
    </message>
    <message>
        <source>Зеленый</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Темно-синий</source>
        <translation>Navy</translation>
    </message>
    <message>
        <source>Серый</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>Красный</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Желтый</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Синий</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Голубой</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>Белый</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Настройка элемента</source>
        <translation>Element settings</translation>
    </message>
    <message>
        <source>Применить к:</source>
        <translation>Apply to:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Настройки вида</source>
        <translation>View settings</translation>
    </message>
    <message>
        <source>Длина элементов</source>
        <translation>Element length</translation>
    </message>
    <message>
        <source>Высота элементов</source>
        <translation>Element height</translation>
    </message>
    <message>
        <source>Кнопка</source>
        <translation>Button</translation>
    </message>
    <message>
        <source>Ширина рамки индикатора</source>
        <translation>Indicator frame width</translation>
    </message>
    <message>
        <source>Активный индикатор</source>
        <translation>Active indicator</translation>
    </message>
    <message>
        <source>Пассивный индикатор</source>
        <translation>Passive indicator</translation>
    </message>
</context>
<context>
    <name>WorkWithCOM</name>
    <message>
        <source>COM-объект &quot;%1&quot;: </source>
        <translation>COM object &quot;%1&quot;: </translation>
    </message>
    <message>
        <source>незарегистрирован или отсутствует.</source>
        <translation>is not registered or missing.</translation>
    </message>
    <message>
        <source>Переустановите приложение</source>
        <translation>Reinstall the application</translation>
    </message>
    <message>
        <source>ошибка проверки регистрации.</source>
        <translation>registration check error.</translation>
    </message>
    <message>
        <source>Текст ошибки:</source>
        <translation>Error text:</translation>
    </message>
    <message>
        <source>Обратитесь к разработчику.</source>
        <translation>Contact the developer.</translation>
    </message>
    <message>
        <source>в библиотеке %1 нет функции %2</source>
        <translation>the library %1 has no function %2</translation>
    </message>
    <message>
        <source>Библиотека %1 не создала объект порта.</source>
        <translation>The library %1 did not create a port object.</translation>
    </message>
    <message>
        <source>ReplyTimeoutMs=%1: ожидалось число от %2 до %3, взято %4</source>
        <translation>ReplyTimeoutMs=%1: a number from %2 to %3 was expected, %4 is taken</translation>
    </message>
    <message>
        <source>SimReplyUs=%1: ожидалось число от 0 до %2, взято %3</source>
        <translation>SimReplyUs=%1: a number from 0 to %2 was expected, %3 taken</translation>
    </message>
</context>
</TS>
