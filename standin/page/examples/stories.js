// An update page: every channel's stories in a bound table, newest first, values decorated for
// display (the [...] part is what a bound element shows), and the client's news as it arrives.
// The page is an ordinary web address that no secure-page list names: the client object stays
// closed to it.
function chanbind::OnReadyStateChange(state) { document.writeln("(ready state " + state + ")"); }
function chanbind::OnNewStory(row) { document.writeln("new story in row " + row); }
document.writeln("Channels: " + chanbind.ChannelCount);
for (var i = 0; i < chanbind.ChannelCount; ++i) document.writeln("  " + chanbind.Channel(i).Name);
try {
  document.writeln("The client: " + chanbind.Zorvane.Name);
} catch (e) {
  document.writeln("The client refused this untrusted page: " + e.description);
}
chanbind.Sort = "-Story Time";
chanbind.Embellish = 1 + 4 + 16;  // unread, sizes, stories with a link
host.bind("");
host.pump(500);
document.writeln("Stories:");
host.table("Title,Story Time,CHANNEL,UNREAD,TYPE,URL");
document.writeln("What the binding heard:");
host.record();
