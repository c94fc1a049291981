<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AttachmentActions</name>
    <message>
        <source>Open attachment</source>
        <translation>Anhang öffnen</translation>
    </message>
    <message>
        <source>Save all</source>
        <translation>Alle speichern</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a program or a script: opening it may run it on this computer. Open it anyway?</source>
        <translation>„%1“ ist ein Programm oder ein Skript: Beim Öffnen kann es auf diesem Computer ausgeführt werden. Trotzdem öffnen?</translation>
    </message>
    <message>
        <source>Unable to create a temporary folder: %1</source>
        <translation>Ein temporärer Ordner konnte nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in %2. Replace it?</source>
        <translation>„%1“ ist in %2 bereits vorhanden. Ersetzen?</translation>
    </message>
</context>
<context>
    <name>BarMenus</name>
    <message>
        <source>Check email &amp;now...</source>
        <translation>E-Mails &amp;jetzt abrufen...</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;Check mail</source>
        <translation>E-Mails &amp;abrufen</translation>
    </message>
    <message>
        <source>Send and receive|Check for new email</source>
        <translation>Senden und empfangen|Nach neuen E-Mails suchen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete|Delete the selected messages</source>
        <translation>Löschen|Die ausgewählten Nachrichten löschen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open|Open the selected message</source>
        <translation>Öffnen|Die ausgewählte Nachricht öffnen</translation>
    </message>
    <message>
        <source>Mark as &amp;Read</source>
        <translation>Als &amp;gelesen markieren</translation>
    </message>
    <message>
        <source>Mark as read|Mark the selected messages as read</source>
        <translation>Als gelesen markieren|Die ausgewählten Nachrichten als gelesen markieren</translation>
    </message>
    <message>
        <source>Mark as &amp;Unread</source>
        <translation>Als &amp;ungelesen markieren</translation>
    </message>
    <message>
        <source>Mark as unread|Mark the selected messages as unread</source>
        <translation>Als ungelesen markieren|Die ausgewählten Nachrichten als ungelesen markieren</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Select all|Select all messages</source>
        <translation>Alles auswählen|Alle Nachrichten auswählen</translation>
    </message>
    <message>
        <source>Select &amp;none</source>
        <translation>&amp;Nichts auswählen</translation>
    </message>
    <message>
        <source>Select none|Deselect all messages</source>
        <translation>Nichts auswählen|Die Auswahl aller Nachrichten aufheben</translation>
    </message>
    <message>
        <source>Select &amp;spam</source>
        <translation>&amp;Spam auswählen</translation>
    </message>
    <message>
        <source>Select spam|Select all messages marked as spam</source>
        <translation>Spam auswählen|Alle als Spam markierten Nachrichten auswählen</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Vorherige</translation>
    </message>
    <message>
        <source>Previous|Go to the previous message</source>
        <translation>Vorherige|Zur vorherigen Nachricht gehen</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Nächste</translation>
    </message>
    <message>
        <source>Next|Go to the next message</source>
        <translation>Nächste|Zur nächsten Nachricht gehen</translation>
    </message>
    <message>
        <source>Message &amp;preview</source>
        <translation>Nachrichten&amp;vorschau</translation>
    </message>
    <message>
        <source>Message preview|Show or hide the message preview</source>
        <translation>Nachrichtenvorschau|Die Nachrichtenvorschau ein- oder ausblenden</translation>
    </message>
    <message>
        <source>&amp;Contacts list</source>
        <translation>&amp;Kontaktliste</translation>
    </message>
    <message>
        <source>Contacts list|Show or hide the contacts list</source>
        <translation>Kontaktliste|Die Kontaktliste ein- oder ausblenden</translation>
    </message>
    <message>
        <source>Quobel &amp;Bar</source>
        <translation>Quobel-&amp;Leiste</translation>
    </message>
    <message>
        <source>Quobel Bar|Show the Quobel Bar</source>
        <translation>Quobel-Leiste|Die Quobel-Leiste anzeigen</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>Options|Change the Quobel options</source>
        <translation>Einstellungen|Die Einstellungen von Quobel ändern</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <source>Hide|Hide Quobel to the system tray</source>
        <translation>Ausblenden|Quobel in den Infobereich ausblenden</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Close|Close Quobel</source>
        <translation>Schließen|Quobel beenden</translation>
    </message>
    <message>
        <source>&amp;Show tasks</source>
        <translation>Aufgaben an&amp;zeigen</translation>
    </message>
    <message>
        <source>Show tasks|Show the running tasks</source>
        <translation>Aufgaben anzeigen|Die laufenden Aufgaben anzeigen</translation>
    </message>
    <message>
        <source>Refresh mailbox list</source>
        <translation>Postfachliste aktualisieren</translation>
    </message>
    <message>
        <source>Refresh mailbox list|Refresh the list of mailboxes</source>
        <translation>Postfachliste aktualisieren|Die Liste der Postfächer aktualisieren</translation>
    </message>
    <message>
        <source>List messages in box</source>
        <translation>Nachrichten im Postfach auflisten</translation>
    </message>
    <message>
        <source>List messages|List the messages in the selected mailbox</source>
        <translation>Nachrichten auflisten|Die Nachrichten im ausgewählten Postfach auflisten</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Contents|Show the contents of the help</source>
        <translation>Inhalt|Das Inhaltsverzeichnis der Hilfe anzeigen</translation>
    </message>
    <message>
        <source>&amp;Compose</source>
        <translation>&amp;Verfassen</translation>
    </message>
    <message>
        <source>Compose|Write a new message</source>
        <translation>Verfassen|Eine neue Nachricht schreiben</translation>
    </message>
    <message>
        <source>&amp;Reply</source>
        <translation>&amp;Antworten</translation>
    </message>
    <message>
        <source>Reply|Reply to the sender</source>
        <translation>Antworten|Dem Absender antworten</translation>
    </message>
    <message>
        <source>Reply to &amp;all</source>
        <translation>Allen a&amp;ntworten</translation>
    </message>
    <message>
        <source>Reply to all|Reply to the sender and all recipients</source>
        <translation>Allen antworten|Dem Absender und allen Empfängern antworten</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Weiterleiten</translation>
    </message>
    <message>
        <source>Forward|Forward the message</source>
        <translation>Weiterleiten|Die Nachricht weiterleiten</translation>
    </message>
    <message>
        <source>&amp;Redirect</source>
        <translation>&amp;Umleiten</translation>
    </message>
    <message>
        <source>Redirect|Not available: the mail program is handed messages to write through a mailto: link, which cannot ask it to resend a message unchanged</source>
        <translation>Umleiten|Nicht verfügbar: Das E-Mail-Programm erhält zu schreibende Nachrichten über einen mailto:-Link, und darüber lässt sich nicht verlangen, eine Nachricht unverändert erneut zu senden</translation>
    </message>
    <message>
        <source>&amp;Anti-spam</source>
        <translation>Als S&amp;pam markieren</translation>
    </message>
    <message>
        <source>Anti-spam|Mark the message as spam</source>
        <translation>Als Spam markieren|Die Nachricht als Spam markieren</translation>
    </message>
    <message>
        <source>&amp;Address book</source>
        <translation>A&amp;dressbuch</translation>
    </message>
    <message>
        <source>Address book|Open the address book</source>
        <translation>Adressbuch|Das Adressbuch öffnen</translation>
    </message>
    <message>
        <source>Add sender to address book</source>
        <translation>Absender zum Adressbuch hinzufügen</translation>
    </message>
    <message>
        <source>Add sender|Add the sender to the address book</source>
        <translation>Absender hinzufügen|Den Absender zum Adressbuch hinzufügen</translation>
    </message>
    <message>
        <source>Add sender to allow list</source>
        <translation>Absender zur Positivliste hinzufügen</translation>
    </message>
    <message>
        <source>Allow sender|Add the sender to the allow list</source>
        <translation>Absender zulassen|Den Absender zur Positivliste hinzufügen</translation>
    </message>
    <message>
        <source>List contacts</source>
        <translation>Kontakte auflisten</translation>
    </message>
    <message>
        <source>List contacts|List the contacts</source>
        <translation>Kontakte auflisten|Die Kontakte auflisten</translation>
    </message>
    <message>
        <source>Delete|Delete this message</source>
        <translation>Löschen|Diese Nachricht löschen</translation>
    </message>
    <message>
        <source>&amp;First message</source>
        <translation>&amp;Erste Nachricht</translation>
    </message>
    <message>
        <source>First message|Open the first message in the list</source>
        <translation>Erste Nachricht|Die erste Nachricht der Liste öffnen</translation>
    </message>
    <message>
        <source>&amp;Previous message</source>
        <translation>&amp;Vorherige Nachricht</translation>
    </message>
    <message>
        <source>Previous message|Open the previous message in the list</source>
        <translation>Vorherige Nachricht|Die vorherige Nachricht der Liste öffnen</translation>
    </message>
    <message>
        <source>&amp;Next message</source>
        <translation>&amp;Nächste Nachricht</translation>
    </message>
    <message>
        <source>Next message|Open the next message in the list</source>
        <translation>Nächste Nachricht|Die nächste Nachricht der Liste öffnen</translation>
    </message>
    <message>
        <source>&amp;Last message</source>
        <translation>&amp;Letzte Nachricht</translation>
    </message>
    <message>
        <source>Last message|Open the last message in the list</source>
        <translation>Letzte Nachricht|Die letzte Nachricht der Liste öffnen</translation>
    </message>
    <message>
        <source>Close|Close this window</source>
        <translation>Schließen|Dieses Fenster schließen</translation>
    </message>
    <message>
        <source>&amp;All accounts...</source>
        <translation>&amp;Alle Konten...</translation>
    </message>
    <message>
        <source>All accounts|Check every account for new email</source>
        <translation>Alle Konten|In allen Konten nach neuen E-Mails suchen</translation>
    </message>
    <message>
        <source>Hide|Close the Quobel Bar</source>
        <translation>Ausblenden|Die Quobel-Leiste schließen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Exit|Close Quobel</source>
        <translation>Beenden|Quobel beenden</translation>
    </message>
    <message>
        <source>&amp;Mark as read</source>
        <translation>Als &amp;gelesen markieren</translation>
    </message>
    <message>
        <source>Mark as read|Mark this message as read</source>
        <translation>Als gelesen markieren|Diese Nachricht als gelesen markieren</translation>
    </message>
    <message>
        <source>Mar&amp;k all read</source>
        <translation>Alle als gelesen mar&amp;kieren</translation>
    </message>
    <message>
        <source>Mark all read|Mark every message as read</source>
        <translation>Alle als gelesen markieren|Alle Nachrichten als gelesen markieren</translation>
    </message>
    <message>
        <source>&amp;Anti-Spam</source>
        <translation>Als S&amp;pam markieren</translation>
    </message>
    <message>
        <source>Anti-Spam|Mark the message as spam</source>
        <translation>Als Spam markieren|Die Nachricht als Spam markieren</translation>
    </message>
    <message>
        <source> (not available)</source>
        <translation> (nicht verfügbar)</translation>
    </message>
    <message>
        <source>: not available in Quobel</source>
        <translation>: in Quobel nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>DoNotDisturb</name>
    <message>
        <source>Do not disturb</source>
        <translation>Nicht stören</translation>
    </message>
</context>
<context>
    <name>MailWriter</name>
    <message>
        <source>No mail program is set up on this desktop to write mail, so choose a default e-mail program in the desktop&apos;s settings and try again.</source>
        <translation>Auf diesem Desktop ist kein Programm zum Schreiben von E-Mails eingerichtet. Wählen Sie in den Einstellungen des Desktops ein Standard-E-Mail-Programm und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Message</source>
        <translation>&amp;Nachricht</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Hauptleiste</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>Kontakte</translation>
    </message>
    <message>
        <source>&amp;Add account...</source>
        <translation>Konto &amp;hinzufügen...</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>An:</translation>
    </message>
    <message>
        <source>CC:</source>
        <translation>Kopie:</translation>
    </message>
    <message>
        <source>Recipient:</source>
        <translation>Empfänger:</translation>
    </message>
    <message>
        <source>Source IP:</source>
        <translation>Quell-IP:</translation>
    </message>
    <message>
        <source>No account yet: add one to start checking mail</source>
        <translation>Noch kein Konto: Fügen Sie eines hinzu, um E-Mails abzurufen</translation>
    </message>
</context>
<context>
    <name>MessageList</name>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>To</source>
        <translation>An</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>OptionsPrompts</name>
    <message>
        <source>Fatal Error</source>
        <translation>Schwerer Fehler</translation>
    </message>
    <message>
        <source>An unhandled exception occured! Please notify the developers using the following information:

</source>
        <translation>Ein unbehandelter Ausnahmefehler ist aufgetreten! Bitte benachrichtigen Sie die Entwickler mit den folgenden Angaben:

</translation>
    </message>
</context>
<context>
    <name>Quobel</name>
    <message>
        <source>Passwords are kept in the account files: the desktop keyring is not available</source>
        <translation>Die Passwörter werden in den Kontodateien gespeichert: Der Schlüsselbund des Desktops ist nicht verfügbar</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>There is already an auto hidden window on this edge.
<byte value="xd"/>Only one auto hidden window is allowed on each edge.</source>
        <translation>An diesem Rand gibt es bereits ein automatisch ausgeblendetes Fenster.
<byte value="xd"/>An jedem Rand ist nur ein automatisch ausgeblendetes Fenster erlaubt.</translation>
    </message>
    <message>
        <source>The specified skin does not exist!</source>
        <translation>Der angegebene Skin existiert nicht!</translation>
    </message>
    <message>
        <source>From: %1<byte value="xd"/>
To: %2<byte value="xd"/>
Date: %3</source>
        <translation>Von: %1<byte value="xd"/>
An: %2<byte value="xd"/>
Datum: %3</translation>
    </message>
    <message>
        <source>Account: %1<byte value="xd"/>
From: %2<byte value="xd"/>
To: %3<byte value="xd"/>
Date: %4</source>
        <translation>Konto: %1<byte value="xd"/>
Von: %2<byte value="xd"/>
An: %3<byte value="xd"/>
Datum: %4</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Mark as read</source>
        <translation>Als gelesen markieren</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>%1 new message — %2</source>
        <translation>%1 neue Nachricht — %2</translation>
    </message>
    <message>
        <source>%1 new messages — %2</source>
        <translation>%1 neue Nachrichten — %2</translation>
    </message>
    <message>
        <source>%1 more new message — %2</source>
        <translation>%1 weitere neue Nachricht — %2</translation>
    </message>
    <message>
        <source>%1 more new messages — %2</source>
        <translation>%1 weitere neue Nachrichten — %2</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this message?<byte value="xd"/>
<byte value="xd"/>
Note: the message will be deleted directly from the server, you will not be able to recover it!</source>
        <translation>Möchten Sie diese Nachricht wirklich löschen?<byte value="xd"/>
<byte value="xd"/>
Hinweis: Die Nachricht wird direkt auf dem Server gelöscht und lässt sich nicht wiederherstellen!</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the selected message(s)?<byte value="xd"/>
<byte value="xd"/>
Note: the message will be deleted directly from the server, you will not be able to recover it!</source>
        <translation>Möchten Sie die ausgewählten Nachrichten wirklich löschen?<byte value="xd"/>
<byte value="xd"/>
Hinweis: Die Nachrichten werden direkt auf dem Server gelöscht und lassen sich nicht wiederherstellen!</translation>
    </message>
    <message>
        <source>Could not save the account!</source>
        <translation>Das Konto konnte nicht gespeichert werden!</translation>
    </message>
    <message>
        <source>Could not store message!</source>
        <translation>Die Nachricht konnte nicht gespeichert werden!</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Verbindung zu %1 wird hergestellt...</translation>
    </message>
    <message>
        <source>Could not connect to %1!</source>
        <translation>Keine Verbindung zu %1 möglich!</translation>
    </message>
    <message>
        <source>Searching for message...</source>
        <translation>Nachricht wird gesucht...</translation>
    </message>
    <message>
        <source>Removing message...</source>
        <translation>Nachricht wird entfernt...</translation>
    </message>
    <message>
        <source>Could not remove message!</source>
        <translation>Die Nachricht konnte nicht entfernt werden!</translation>
    </message>
    <message>
        <source>Could not retrieve message list!</source>
        <translation>Die Nachrichtenliste konnte nicht abgerufen werden!</translation>
    </message>
    <message>
        <source>Deleting message...</source>
        <translation>Nachricht wird gelöscht...</translation>
    </message>
    <message>
        <source>Checking for new mail...</source>
        <translation>Suche nach neuen E-Mails...</translation>
    </message>
    <message>
        <source>Could not retrieve message header!</source>
        <translation>Der Nachrichtenkopf konnte nicht abgerufen werden!</translation>
    </message>
    <message>
        <source>Checking for new messages...</source>
        <translation>Suche nach neuen Nachrichten...</translation>
    </message>
    <message>
        <source>Retrieving message size...</source>
        <translation>Nachrichtengröße wird abgerufen...</translation>
    </message>
    <message>
        <source>Could not retrieve message size!</source>
        <translation>Die Nachrichtengröße konnte nicht abgerufen werden!</translation>
    </message>
    <message>
        <source>Retrieving message...</source>
        <translation>Nachricht wird abgerufen...</translation>
    </message>
    <message>
        <source>Could not retrieve message!</source>
        <translation>Die Nachricht konnte nicht abgerufen werden!</translation>
    </message>
    <message>
        <source>Connected: %1 message on the server</source>
        <translation>Verbunden: %1 Nachricht auf dem Server</translation>
    </message>
    <message>
        <source>Connected: %1 messages on the server</source>
        <translation>Verbunden: %1 Nachrichten auf dem Server</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>The server allows the next check of this account at %1.</source>
        <translation>Der Server erlaubt die nächste Abfrage dieses Kontos um %1.</translation>
    </message>
</context>
<context>
    <name>QuobelApplication</name>
    <message>
        <source>An unhandled exception occured! Please notify the developers using the following information:

</source>
        <translation>Ein unbehandelter Ausnahmefehler ist aufgetreten! Bitte benachrichtigen Sie die Entwickler mit den folgenden Angaben:

</translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation>Schwerer Fehler</translation>
    </message>
    <message>
        <source>No skins installed, please re-install Quobel!</source>
        <translation>Keine Skins installiert, bitte installieren Sie Quobel neu!</translation>
    </message>
</context>
<context>
    <name>TAccountsPage</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Add account</source>
        <translation>Konto hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Edit account</source>
        <translation>Konto bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Remove account</source>
        <translation>Konto entfernen</translation>
    </message>
    <message>
        <source>Set as &amp;default</source>
        <translation>Als &amp;Standard festlegen</translation>
    </message>
    <message>
        <source>Set as default</source>
        <translation>Als Standard festlegen</translation>
    </message>
    <message>
        <source> (default)</source>
        <translation> (Standard)</translation>
    </message>
    <message>
        <source>Are you sure you want to remove the account &apos;%1&apos;?</source>
        <translation>Möchten Sie das Konto „%1“ wirklich entfernen?</translation>
    </message>
</context>
<context>
    <name>TBarPage</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Auto-&amp;hide bar</source>
        <translation>Leiste automatisch aus&amp;blenden</translation>
    </message>
    <message>
        <source>&amp;Scroll messages after</source>
        <translation>Nachrichten &amp;weiterrollen nach</translation>
    </message>
    <message>
        <source>second(s)...</source>
        <translation>Sekunde(n)...</translation>
    </message>
    <message>
        <source>Skin</source>
        <translation>Skin</translation>
    </message>
</context>
<context>
    <name>TConfirmationsPage</name>
    <message>
        <source>Confirm &amp;deleting message(s)...</source>
        <translation>&amp;Löschen von Nachrichten bestätigen...</translation>
    </message>
</context>
<context>
    <name>TGeneralPage</name>
    <message>
        <source>Email delivery</source>
        <translation>E-Mail-Abruf</translation>
    </message>
    <message>
        <source>&amp;Check for new messages every</source>
        <translation>&amp;Nach neuen Nachrichten suchen alle</translation>
    </message>
    <message>
        <source>Play &amp;sound when new messages arrive...</source>
        <translation>Bei neuen Nachrichten &amp;Klang abspielen...</translation>
    </message>
    <message>
        <source>Select sound file</source>
        <translation>Klangdatei auswählen</translation>
    </message>
    <message>
        <source>Sound files (*.wav)</source>
        <translation>Klangdateien (*.wav)</translation>
    </message>
    <message>
        <source>Preview sound</source>
        <translation>Klang probehören</translation>
    </message>
    <message>
        <source>minute(s)...</source>
        <translation>Minute(n)...</translation>
    </message>
    <message>
        <source>Reader options</source>
        <translation>Leseansicht</translation>
    </message>
    <message>
        <source>Display &amp;smilies in reader</source>
        <translation>&amp;Smileys in der Leseansicht anzeigen</translation>
    </message>
    <message>
        <source>Re-use external readers &amp;windows</source>
        <translation>Externe Lese&amp;fenster wiederverwenden</translation>
    </message>
    <message>
        <source>Always display &amp;text (ignores HTML parts)</source>
        <translation>Immer &amp;Text anzeigen (HTML-Teile werden ignoriert)</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Signatur</translation>
    </message>
    <message>
        <source>&amp;Edit signature</source>
        <translation>Signatur &amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Do not add signature when replying or forwarding</source>
        <translation>Beim Antworten oder Weiterleiten &amp;keine Signatur anfügen</translation>
    </message>
    <message>
        <source>Your signature will be added to outgoing messages:</source>
        <translation>Ihre Signatur wird an ausgehende Nachrichten angefügt:</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The specified sound file does not exist!</source>
        <translation>Die angegebene Klangdatei existiert nicht!</translation>
    </message>
</context>
<context>
    <name>TNotificationsPage</name>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>One per account</source>
        <translation>Eine pro Konto</translation>
    </message>
    <message>
        <source>One per message</source>
        <translation>Eine pro Nachricht</translation>
    </message>
    <message>
        <source>&amp;Quiet hours from</source>
        <translation>&amp;Ruhezeit von</translation>
    </message>
    <message>
        <source>Do not disturb</source>
        <translation>Nicht stören</translation>
    </message>
    <message>
        <source>During the quiet hours, and while &quot;Do not disturb&quot; is on, new mail plays no sound and its notifications come quietly; the bar and the message list still show it.</source>
        <translation>Während der Ruhezeit und solange „Nicht stören“ eingeschaltet ist, spielen neue E-Mails keinen Klang ab und ihre Benachrichtigungen erscheinen still; die Leiste und die Nachrichtenliste zeigen sie weiterhin an.</translation>
    </message>
    <message>
        <source>&amp;Desktop notifications:</source>
        <translation>&amp;Desktop-Benachrichtigungen:</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
</context>
<context>
    <name>quobel::TBarOwner</name>
    <message>
        <source>There is no skin of that name.</source>
        <translation>Es gibt keinen Skin mit diesem Namen.</translation>
    </message>
    <message>
        <source>The skin &quot;%1&quot; could not be loaded; the bar uses the skin &quot;%2&quot; instead</source>
        <translation>Der Skin „%1“ konnte nicht geladen werden; die Leiste verwendet stattdessen den Skin „%2“</translation>
    </message>
    <message>
        <source>The skin &quot;%1&quot; could not be loaded; no other skin could be loaded either</source>
        <translation>Der Skin „%1“ konnte nicht geladen werden; auch kein anderer Skin ließ sich laden</translation>
    </message>
</context>
<context>
    <name>quobel::TColorPicker</name>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Kastanienbraun</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Oliv</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Marineblau</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Violett</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Blaugrün</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Silber</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Hellgrün</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Türkis</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
    <message>
        <source>Skin Default</source>
        <translation>Vorgabe des Skins</translation>
    </message>
    <message>
        <source>Custom...</source>
        <translation>Benutzerdefiniert...</translation>
    </message>
</context>
<context>
    <name>quobel::TDBusNotifier</name>
    <message>
        <source>Could not show a desktop notification!</source>
        <translation>Eine Desktop-Benachrichtigung konnte nicht angezeigt werden!</translation>
    </message>
</context>
<context>
    <name>quobel::TFolderListModel</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>quobel::TReaderHeaders</name>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Save as…</source>
        <translation>Speichern unter…</translation>
    </message>
    <message>
        <source>Save all…</source>
        <translation>Alle speichern…</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source> Text </source>
        <translation> Text </translation>
    </message>
    <message>
        <source> Source </source>
        <translation> Quelltext </translation>
    </message>
</context>
<context>
    <name>quobel::TTrayIcon</name>
    <message>
        <source>Quobel 2 — no unread messages</source>
        <translation>Quobel 2 — keine ungelesenen Nachrichten</translation>
    </message>
    <message>
        <source>Quobel 2 — 1 unread message</source>
        <translation>Quobel 2 — 1 ungelesene Nachricht</translation>
    </message>
    <message>
        <source>Quobel 2 — %1 unread messages</source>
        <translation>Quobel 2 — %1 ungelesene Nachrichten</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Öffnen</translation>
    </message>
</context>
<context>
    <name>quobel::TTrustCertificateDialog</name>
    <message>
        <source>Trust this certificate?</source>
        <translation>Diesem Zertifikat vertrauen?</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>Compare the fingerprint with the one your provider or administrator gives you. Trusting the certificate means: this account connects to %1 whenever the server shows this public key, whoever issued the certificate. Should the server ever show another key, the connection is refused.</source>
        <translation>Vergleichen Sie den Fingerabdruck mit dem, den Ihnen Ihr Anbieter oder Ihre Administration nennt. Dem Zertifikat zu vertrauen heißt: Dieses Konto verbindet sich mit %1, sobald der Server diesen öffentlichen Schlüssel zeigt, gleich wer das Zertifikat ausgestellt hat. Zeigt der Server jemals einen anderen Schlüssel, wird die Verbindung abgelehnt.</translation>
    </message>
    <message>
        <source>&amp;Trust</source>
        <translation>&amp;Vertrauen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Host:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Betreff:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Aussteller:</translation>
    </message>
    <message>
        <source>Valid:</source>
        <translation>Gültig:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>SHA-256-Fingerabdruck:</translation>
    </message>
    <message>
        <source>Public key SHA-256:</source>
        <translation>SHA-256 des öffentlichen Schlüssels:</translation>
    </message>
</context>
<context>
    <name>quobel::TfraReader</name>
    <message>
        <source>This message cannot be downloaded: the account it came from no longer exists.</source>
        <translation>Diese Nachricht kann nicht heruntergeladen werden: Das Konto, aus dem sie stammt, existiert nicht mehr.</translation>
    </message>
    <message>
        <source>Please wait, downloading the message from the server...</source>
        <translation>Bitte warten, die Nachricht wird vom Server heruntergeladen...</translation>
    </message>
    <message>
        <source>The message has already been removed from the server...</source>
        <translation>Die Nachricht wurde bereits vom Server entfernt...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source> &amp;nbsp;&lt;a href=&quot;retry&quot;&gt;Try again&lt;/a&gt;</source>
        <translation> &amp;nbsp;&lt;a href=&quot;retry&quot;&gt;Erneut versuchen&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>quobel::TfrmAccount</name>
    <message>
        <source>Account Settings</source>
        <translation>Kontoeinstellungen</translation>
    </message>
    <message>
        <source>&amp;Include account in synchronization</source>
        <translation>Konto beim &amp;Abrufen einbeziehen</translation>
    </message>
    <message>
        <source>POP3 (incoming mail) </source>
        <translation>POP3 (eingehende E-Mails) </translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>The password will be sent unencrypted.</source>
        <translation>Das Passwort wird unverschlüsselt gesendet.</translation>
    </message>
    <message>
        <source>&amp;Secure POP (unsupported by most servers)</source>
        <translation>&amp;Sicheres POP (von den meisten Servern nicht unterstützt)</translation>
    </message>
    <message>
        <source> SMTP (outgoing mail) </source>
        <translation> SMTP (ausgehende E-Mails) </translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Testen</translation>
    </message>
    <message>
        <source>Trust this certificate…</source>
        <translation>Diesem Zertifikat vertrauen…</translation>
    </message>
    <message>
        <source> New mail </source>
        <translation> Neue E-Mails </translation>
    </message>
    <message>
        <source>A&amp;nnounce new mail of this account (notification and sound)</source>
        <translation>Neue E-Mails dieses Kontos a&amp;nkündigen (Benachrichtigung und Klang)</translation>
    </message>
    <message>
        <source>Select sound file</source>
        <translation>Klangdatei auswählen</translation>
    </message>
    <message>
        <source>Sound files (*.wav);;All files (*)</source>
        <translation>Klangdateien (*.wav);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>(the sound of the options)</source>
        <translation>(der Klang aus den Einstellungen)</translation>
    </message>
    <message>
        <source>Show its mail on the &amp;bar</source>
        <translation>Seine E-Mails in der &amp;Leiste zeigen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Account name:</source>
        <translation>Kontoname:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Email:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Text color:</source>
        <translation>Textfarbe:</translation>
    </message>
    <message>
        <source>Host:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Security:</source>
        <translation>Sicherheit:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>Klang:</translation>
    </message>
    <message>
        <source>Test cancelled.</source>
        <translation>Test abgebrochen.</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Verbindung zu %1 wird hergestellt...</translation>
    </message>
    <message>
        <source>Cancel &amp;test</source>
        <translation>Test a&amp;bbrechen</translation>
    </message>
    <message>
        <source>Please enter a name for this account!</source>
        <translation>Bitte geben Sie einen Namen für dieses Konto ein!</translation>
    </message>
    <message>
        <source>Please enter your name!</source>
        <translation>Bitte geben Sie Ihren Namen ein!</translation>
    </message>
    <message>
        <source>Please enter your email address!</source>
        <translation>Bitte geben Sie Ihre E-Mail-Adresse ein!</translation>
    </message>
    <message>
        <source>Please enter your incoming mail host!</source>
        <translation>Bitte geben Sie Ihren Server für eingehende E-Mails ein!</translation>
    </message>
    <message>
        <source>Please enter your outgoing mail host!</source>
        <translation>Bitte geben Sie Ihren Server für ausgehende E-Mails ein!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>quobel::TfrmBar</name>
    <message>
        <source>Quobel Bar</source>
        <translation>Quobel-Leiste</translation>
    </message>
</context>
<context>
    <name>quobel::TfrmExtReader</name>
    <message>
        <source>(No subject)</source>
        <translation>(Kein Betreff)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Message</source>
        <translation>&amp;Nachricht</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>An:</translation>
    </message>
    <message>
        <source>CC:</source>
        <translation>Kopie:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Betreff:</translation>
    </message>
    <message>
        <source>Recipient:</source>
        <translation>Empfänger:</translation>
    </message>
    <message>
        <source>Source IP:</source>
        <translation>Quell-IP:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Attachments</source>
        <translation>Anhänge</translation>
    </message>
</context>
<context>
    <name>quobel::TfrmMsgList</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>quobel::TfrmOptions</name>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Bar</source>
        <translation>Leiste</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Anti-Spam</source>
        <translation>Spamschutz</translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation>Konten</translation>
    </message>
    <message>
        <source>Confirmations</source>
        <translation>Bestätigungen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>quobel::TfrmTasks</name>
    <message>
        <source>Tasks</source>
        <translation>Aufgaben</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <source>&amp;Details &lt;&lt;</source>
        <translation>&amp;Details &lt;&lt;</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Trust this certificate…</source>
        <translation>Diesem Zertifikat vertrauen…</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>&amp;Details &gt;&gt;</source>
        <translation>&amp;Details &gt;&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
</TS>
